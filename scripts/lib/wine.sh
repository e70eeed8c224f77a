# Wine and X for the project's own use: a prefix under build/ and, without a display, Xvfb.
# LARKSPUR_WINEPREFIX names another prefix of the project's own (a second developer build).
# Source this file; it defines functions and exports the Wine variables.

LARKSPUR_ROOT=${LARKSPUR_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEPREFIX=${LARKSPUR_WINEPREFIX:-"$LARKSPUR_ROOT/build/wineprefix"}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: the program needs neither. No menu builder: shortcuts made in
# the prefix (by the installer) must not become menu entries of the machine's own desktop.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

# Starts Xvfb on a free display unless a usable display is already set. Xvfb picks the number
# itself (-displayfd), so runs that start at the same moment never share a display.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    local numfile n i
    numfile=$(mktemp)
    # In a session of its own: Ctrl+C at the terminal is for the scripts, which end the
    # display's clients before the display.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
    LARKSPUR_XVFB_PID=$!
    for i in $(seq 1 100); do
        n=$(tr -dc 0-9 <"$numfile")
        if [ -n "$n" ]; then
            rm -f "$numfile"
            export DISPLAY=":$n"
            return 0
        fi
        kill -0 "$LARKSPUR_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$numfile"
    kill "$LARKSPUR_XVFB_PID" 2>/dev/null
    LARKSPUR_XVFB_PID=
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

wineprefix_ready() {  # prefix
    [ -f "$1/system.reg" ] && grep -q '^"Default"="1024x768"' "$1/user.reg" 2>/dev/null &&
        { [ -f "$1/drive_c/windows/Fonts/marlett.ttf" ] || [ ! -f /usr/share/wine/fonts/marlett.ttf ]; }
}

# Creates a prefix on first use and waits until its registry is written. Its programs run in
# a Wine desktop of their own: without a window manager on Xvfb, every window shown on the bare
# X display costs about two seconds of waiting for one. The 32-bit prefix is made by the i386
# root's Wine, given as the command that runs a Wine program there.
ensure_wineprefix() {  # [prefix, command that runs a Wine program...]
    local prefix=${1:-$WINEPREFIX}
    shift $(($# > 0 ? 1 : 0))
    wineprefix_ready "$prefix" && return 0
    if [ ! -f "$prefix/system.reg" ]; then
        mkdir -p "$(dirname "$prefix")"
        "$@" wineboot -i >/dev/null 2>&1
        "$@" wineserver -w
    fi
    if ! wineprefix_ready "$prefix"; then
        local reg
        reg=$(mktemp --suffix=.reg)
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="1024x768"\n' >"$reg"
        "$@" wine regedit "$reg" >/dev/null 2>&1
        "$@" wineserver -w
        rm -f "$reg"
    fi
    # Captions draw their buttons with the Marlett symbol font. Wine does not look in the folder
    # where Debian's fonts-wine puts it, only in the prefix's own Fonts folder; without it the
    # close box is drawn as the letter "r".
    local fonts="$prefix/drive_c/windows/Fonts"
    if [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        mkdir -p "$fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
    wineprefix_ready "$prefix"
}

# What runs a Wine command (wine, wineserver...) for a build, in BUILD_RUNNER: for the shipped
# 32-bit build the i386 root (scripts/lib/i386root.sh), for its 64-bit twin nothing, the
# machine's wine64 runs it.
build_runner() {  # preset
    case $1 in
        mingw-i686) BUILD_RUNNER=("$LARKSPUR_ROOT/scripts/in-i386-root") ;;
        mingw-x64) BUILD_RUNNER=() ;;
        *) echo "no Wine for the preset $1" >&2; return 1 ;;
    esac
}
