#!/bin/bash
# Pictures of the program under Wine on a virtual display, as PNG files: every
# picture at 96 DPI, and the main and About windows at 144 and 192 DPI too
# (named ...-144dpi.png); the prefix is set back to 96 DPI afterwards. With a
# filter, only those pictures, at the DPI the prefix has.
# With --compare, inside a Wine session already running (CTest's, or one at
# 144 or 192 DPI), the pictures of the prefix's DPI are made into WORK_DIR and
# each is held against the one of the same name in KEPT_DIR: one that differs
# in more than a few pixels (font smoothing) fails, and stays in WORK_DIR
# beside a picture of the differences. The running job's picture changes while
# the job runs and is not compared. SUFFIX (-144dpi, ...) names the pictures
# of a DPI above 96: the main and About windows.
# Usage: screenshots.sh WINDOWS_BUILD_DIR OUTPUT_DIR [GTEST_FILTER]
#        screenshots.sh --compare WINDOWS_BUILD_DIR KEPT_DIR WORK_DIR [SUFFIX]
set -eu
comparing=false
suffix=
if [ "$1" = --compare ]; then
    comparing=true
    kept=$(cd "$3" && pwd)
    suffix=${5:-}
    which='*Screenshots.MainWindow:*Screenshots.AboutWindow'
    [ -n "$suffix" ] || which="$which:*Screenshots.Tabs:*Screenshots.SetReport"
    set -- "$2" "$4" "$which"
fi
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
filter=${3:-*Screenshots*}
root=$(cd "$(dirname "$0")/.." && pwd)
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT

# The session is the caller's when comparing, else one of its own on a fresh
# display.
in_session() {
    if $comparing; then
        "$@"
    else
        DISPLAY= "$root/scripts/wine-session.sh" "$build" "$@"
    fi
}

# shoot DPI FILTER SUFFIX (an empty DPI keeps the prefix's)
shoot() {
    local dpi=$1 which=$2 suffix=$3
    rm -f "$shots"/*.bmp
    NB_WINE_DPI=$dpi NB_SCREENSHOT_DIR="Z:${shots//\//\\}" \
        in_session "$build/wine-exec.sh" "$build/tests/app/app_end_to_end_tests.exe" \
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

# Differences up to this many pixels, each beyond this share of the range,
# are a blinking text caret (16 pixels at 96 DPI) or font smoothing; the area
# grows with the square of the DPI.
fuzz=2%
dpi=${suffix//[!0-9]/}
allowed_pixels=$((40 * ${dpi:-96} * ${dpi:-96} / (96 * 96)))

# compare_with_kept: every picture made against the kept one of its name.
compare_with_kept() {
    local failed=0 made name differing
    for made in "$out"/*.png; do
        name=$(basename "$made" .png)
        [ "${name%-diff}" = "$name" ] || continue
        differing=$(/usr/bin/compare -metric AE -fuzz "$fuzz" "$kept/$name.png" "$made" \
            "$out/$name-diff.png" 2>&1 >/dev/null) || true
        if [[ "$differing" =~ ^[0-9]+$ ]] && [ "$differing" -le "$allowed_pixels" ]; then
            echo "same: $name ($differing pixels differ)"
            rm -f "$out/$name-diff.png"
        else
            echo "DIFFERENT: $name ($differing): made $made, kept $kept/$name.png," \
                "differences $out/$name-diff.png" >&2
            failed=1
        fi
    done
    return $failed
}

if $comparing; then
    rm -f "$out"/*.png
    shoot "" "$filter" "$suffix"
    compare_with_kept
elif [ $# -ge 3 ]; then
    shoot "" "$filter" ""
else
    shoot 96 "$filter" ""
    for dpi in 144 192; do
        shoot "$dpi" '*Screenshots.MainWindow:*Screenshots.AboutWindow' "-${dpi}dpi"
    done
    NB_WINE_DPI=96 "$root/scripts/wine-session.sh" "$build" true
fi
