#!/bin/bash
# Usage: dpi-tests.sh WINDOWS_BUILD_DIR
# The layout tests of the program at 144 and 192 DPI, and its pictures at that
# DPI against the kept ones, each in a Wine session whose prefix is set to that
# DPI; the prefix is set back to 96 afterwards.
set -u
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
restore() { NB_WINE_DPI=96 "$root/scripts/wine-session.sh" "$build" true; }
trap restore EXIT
status=0
for dpi in 144 192; do
    echo "== at $dpi DPI"
    NB_WINE_DPI=$dpi "$root/scripts/wine-session.sh" "$build" "$build/wine-exec.sh" \
        "$build/tests/app/app_end_to_end_tests.exe" --gtest_filter='EndToEndLayout.*:*CommandLinePath*:SetReport.*' \
        --gtest_brief=1 || status=1
    NB_WINE_DPI=$dpi "$root/scripts/wine-session.sh" "$build" "$root/scripts/screenshots.sh" \
        --compare "$build" "$root/docs/screenshots" "$build/tests/app/screenshots-${dpi}dpi" \
        "-${dpi}dpi" || status=1
done
exit $status
