#!/bin/bash
# Pictures of the program under Wine on a virtual display, as PNG files: every
# picture at 96 DPI, and the main and About windows at 144 and 192 DPI too
# (named ...-144dpi.png); the prefix is set back to 96 DPI afterwards.
# Usage: screenshots.sh WINDOWS_BUILD_DIR OUTPUT_DIR [GTEST_FILTER]
set -eu
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
filter=${3:-*Screenshots*}
root=$(cd "$(dirname "$0")/.." && pwd)
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT

# shoot DPI FILTER SUFFIX
shoot() {
    local dpi=$1 which=$2 suffix=$3
    rm -f "$shots"/*.bmp
    NB_WINE_DPI=$dpi NB_SCREENSHOT_DIR="Z:${shots//\//\\}" DISPLAY= \
        "$root/scripts/wine-session.sh" "$build" \
        "$build/wine-exec.sh" "$build/tests/app/app_end_to_end_tests.exe" \
        --gtest_also_run_disabled_tests --gtest_filter="$which" >"$shots/log.txt" 2>&1 || {
        cat "$shots/log.txt" >&2
        return 1
    }
    for bmp in "$shots"/*.bmp; do
        [ -e "$bmp" ] || continue
        name=$(basename "$bmp" .bmp)$suffix
        # The virtual screen is black around the windows.
        /usr/bin/convert "$bmp" -bordercolor black -border 1 -trim +repage "$out/$name.png"
        echo "$out/$name.png"
    done
}

shoot 96 "$filter" ""
if [ $# -lt 3 ]; then
    for dpi in 144 192; do
        shoot "$dpi" '*Screenshots.MainWindow:*Screenshots.AboutWindow' "-${dpi}dpi"
    done
    NB_WINE_DPI=96 "$root/scripts/wine-session.sh" "$build" true
fi
