#!/bin/bash
# Pictures of the program under Wine on a virtual display, as PNG files.
# Usage: screenshots.sh WINDOWS_BUILD_DIR OUTPUT_DIR [GTEST_FILTER]
set -eu
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
filter=${3:-*Screenshots*}
root=$(cd "$(dirname "$0")/.." && pwd)
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
NB_SCREENSHOT_DIR="Z:${shots//\//\\}" DISPLAY= "$root/scripts/wine-session.sh" "$build" \
    "$build/wine-exec.sh" "$build/tests/app/app_end_to_end_tests.exe" \
    --gtest_also_run_disabled_tests --gtest_filter="$filter" >"$shots/log.txt" 2>&1 || {
    cat "$shots/log.txt" >&2
    exit 1
}
for bmp in "$shots"/*.bmp; do
    name=$(basename "$bmp" .bmp)
    # The virtual screen is black around the windows.
    /usr/bin/convert "$bmp" -bordercolor black -border 1 -trim +repage "$out/$name.png"
    echo "$out/$name.png"
done
