#!/bin/bash
# Usage: wine-session.sh BUILD_DIR COMMAND [ARG...]
# Runs COMMAND with a Wine session for the Windows build in BUILD_DIR: its
# private prefix (made on first use), a virtual display when none is set, and
# a wineserver that stays up for the whole command so that each program starts
# fast. Everything this script starts, it stops again.
# NB_WINE_DPI (96, 144, 192, ...) sets the prefix's display DPI first; the
# virtual display then grows with it, so that a scaled window fits.
set -u
build_dir=$(cd "$1" && pwd) || exit 2
shift

export WINEPREFIX="$build_dir/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No menu entries or file associations written into the user's home.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# The prefix's display DPI (96 before the prefix exists).
prefix_dpi() {
    local value
    value=$(sed -n 's/^"LogPixels"=dword:\([0-9a-f]*\).*/\1/p' "$WINEPREFIX/user.reg" 2>/dev/null |
        head -n 1)
    echo $((16#${value:-60}))
}

xvfb_pid=
start_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    local scale=${NB_WINE_DPI:-$(prefix_dpi)}
    Xvfb -displayfd 3 -screen 0 "$((1280 * scale / 96))x$((800 * scale / 96))x24" -nolisten tcp \
        3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    local number
    if ! read -r -t 20 number <"$fifo"; then
        rm -f "$fifo"
        echo "wine-session: Xvfb did not start" >&2
        return 1
    fi
    rm -f "$fifo"
    export DISPLAY=":$number"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "wine-session: display $DISPLAY does not answer" >&2
    return 1
}

stop_all() {
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap stop_all EXIT
trap 'exit 130' INT TERM

make_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    echo "wine-session: creating the Wine prefix $WINEPREFIX (once per build folder)"
    "$wine" wineboot -i </dev/null >/dev/null 2>&1
    # Wine-drawn frames, and no 2 s wait for a window manager at every close.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    "$wineserver" -w
}

# The title bar's buttons are drawn with Marlett; a new prefix does not find
# the one Debian ships unless it lies in the prefix's own font folder.
install_marlett() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/" 2>/dev/null || true
}

# Programs read the DPI when they start, from a server started after the change.
set_dpi() {
    [ -n "${NB_WINE_DPI:-}" ] || return 0
    [ "$(prefix_dpi)" -eq "$NB_WINE_DPI" ] && return 0
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$NB_WINE_DPI" /f \
        </dev/null >/dev/null 2>&1
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w
}

start_display || exit 1
make_prefix
install_marlett
set_dpi
# Start the server and Wine's helper processes with their output elsewhere, so
# that no test inherits them as holders of its output pipe.
"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine" cmd /c exit </dev/null >/dev/null 2>&1

"$@"
