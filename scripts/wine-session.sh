# shellcheck shell=bash
# Sourced by the scripts that run the Windows build under Wine (its tests, its benchmark): a
# private X display and a private Wine prefix made for this run, and removed with the processes
# this run started when the sourcing script exits.
#
# wine_session_start: makes both and exports DISPLAY, WINEPREFIX, WINEARCH, WINEDEBUG and
#   WINEDLLOVERRIDES; $wine is the launcher, $wine_session a scratch folder removed at the end.
# wine_import_pack PACK_DIR DATA_DIR: the sample pack's install record (from PACK_DIR's registry
#   template) and the presentation application's (DATA_DIR/registry/presentation-application.reg),
#   into the prefix's 32-bit view, where the installers write them.
# wine_user_environment [HOME]: sets the array wine_env to what a Windows program gets when a
#   desktop session starts it: the session's variables from an allow-list and the prefix's,
#   never the caller's whole environment. Start it as: env -i "${wine_env[@]}" "$wine" PROGRAM
# wine_find_window: waits up to 20 s for the program's window; sets window, origin_x, origin_y
#   and window_size (WIDTHxHEIGHT), or fails with window empty.

wine=/usr/lib/wine/wine64 # the plain "wine" launcher warns about the missing 32-bit Wine
[ -x "$wine" ] || wine=$(command -v wine)
wine_session=
wine_session_xvfb=

wine_session_end() {
    if [ -n "$wine_session" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        rm -rf "$wine_session"
    fi
    if [ -n "$wine_session_xvfb" ]; then kill "$wine_session_xvfb" 2>/dev/null || true; fi
}

wine_user_environment() {
    wine_env=(HOME="${1:-$HOME}" PATH="$PATH" DISPLAY="$DISPLAY" LANG="${LANG:-C.UTF-8}"
        WINEPREFIX="$WINEPREFIX" WINEARCH="$WINEARCH" WINEDEBUG="$WINEDEBUG"
        WINEDLLOVERRIDES="$WINEDLLOVERRIDES")
    if [ -n "${XAUTHORITY:-}" ]; then wine_env+=(XAUTHORITY="$XAUTHORITY"); fi
}

wine_find_window() {
    window=
    for _ in $(seq 200); do
        window=$(xdotool search --onlyvisible --name '^Slidevane$' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    origin_x=$X origin_y=$Y window_size=${WIDTH}x$HEIGHT
}

wine_session_start() {
    wine_session=$(mktemp -d /tmp/slidevane3-windows.XXXXXX)
    trap wine_session_end EXIT
    export WINEPREFIX=$wine_session/prefix WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # The display comes first: a wineserver started without one cannot create windows later.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_session/display" \
        >/dev/null 2>&1 &
    wine_session_xvfb=$!
    for _ in $(seq 200); do
        [ -s "$wine_session/display" ] && break
        sleep 0.1
    done
    local display_number
    display_number=$(head -n 1 "$wine_session/display")
    [ -n "$display_number" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$display_number"
    "$wine" wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    # Kept running so that each program starts in milliseconds; its helpers must not hold the
    # caller's pipes.
    setsid wineserver -p >/dev/null 2>&1 </dev/null &
}

wine_windows_path() { echo "Z:${1//\//\\}"; }

wine_import_pack() {
    local pack=$1 data=$2 record status=0
    record=$(mktemp --suffix=.reg)
    sed "s|@PACK_DIR@|$(wine_windows_path "$pack" | sed 's/\\/\\\\\\\\/g')|" \
        "$pack/slidevane3.reg.in" >"$record"
    "$wine" reg import "$(wine_windows_path "$record")" /reg:32 >/dev/null 2>&1 </dev/null &&
        "$wine" reg import "$(wine_windows_path "$data/registry/presentation-application.reg")" \
            /reg:32 >/dev/null 2>&1 </dev/null || status=$?
    rm -f "$record"
    [ "$status" = 0 ] || echo "registry import failed" >&2
    return "$status"
}
