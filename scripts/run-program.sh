#!/bin/bash
# Starts NBNimbra.exe under Wine on the current display. Without a display it
# shows the program on a virtual one, writes a screenshot and ends it cleanly.
set -eu
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting NB Nimbra Vexal Edition on display $DISPLAY (close its window to end)."
    exec "$root/scripts/wine-session.sh" "$build" "$build/wine-exec.sh" "$build/app/NBNimbra.exe"
fi
echo "No display: showing the program on a virtual display instead."
"$root/scripts/screenshots.sh" "$build" "$root/build/run" '*Screenshots.MainWindow'
cat <<'TEXT'
That is a screenshot of the main window, which was then closed cleanly.
To use the program, run 'make run' in a desktop session, or with a display
of your own, for example: xvfb-run -s '-screen 0 1280x800x24' make run
(and look at it with a VNC viewer or 'import -window root'), or copy
build/windows/app/NBNimbra.exe to a Windows machine.
TEXT
