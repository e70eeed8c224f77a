# Wine and X for the project's own use: a prefix under build/ and, without a display, Xvfb.
# LARKSPUR_WINEPREFIX names another prefix of the project's own (a second developer build).
# Source this file; it defines functions and exports the Wine variables.

LARKSPUR_ROOT=${LARKSPUR_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEPREFIX=${LARKSPUR_WINEPREFIX:-"$LARKSPUR_ROOT/build/wineprefix"}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Starts Xvfb on a free display unless a usable display is already set.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    local n
    for n in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        LARKSPUR_XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$LARKSPUR_XVFB_PID" 2>/dev/null
    done
    echo "could not start Xvfb" >&2
    return 1
}

stop_display() {
    if [ -n "${LARKSPUR_XVFB_PID:-}" ]; then
        kill "$LARKSPUR_XVFB_PID" 2>/dev/null
        wait "$LARKSPUR_XVFB_PID" 2>/dev/null
        LARKSPUR_XVFB_PID=
    fi
}

# Creates the prefix on first use and waits until its registry is written. Its programs run in
# a Wine desktop of their own: without a window manager on Xvfb, every window shown on the bare
# X display costs about two seconds of waiting for one.
ensure_wineprefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$(dirname "$WINEPREFIX")"
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
    if ! grep -q '^"Default"="1024x768"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        local reg
        reg=$(mktemp --suffix=.reg)
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="1024x768"\n' >"$reg"
        wine regedit "$reg" >/dev/null 2>&1
        wineserver -w
        rm -f "$reg"
    fi
}

# Runs a Windows program of the x64 build in the project's prefix.
run_wine() {
    wine "$@"
}
