#!/usr/bin/env bash
# The Windows program under Wine and the Linux program on X show the same pixels: both are run
# in turn on the display in $DISPLAY (96 dots per inch) over the sample pack, driven along the same
# pointer path with xdotool (start-up, the strip, a click on a category, the thumbnails, the main
# preview, the web button), and each step's screenshot of the window must be identical, pixel for
# pixel. Needs WINEPREFIX and DISPLAY set, with a persistent wineserver started on that display.
set -euo pipefail

linux_program=$1 windows_program=$2 pack=$3 data=$4
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/../../../../scripts/wine-session.sh"
work=$(mktemp -d)
app_pid=
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then kill "$app_pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -x "$linux_program" ] || fail "no Linux program at $linux_program"
wine_import_pack "$pack" "$data" || fail "registry import"
# The Linux program reads the same records from registry files: the pack's, with its folder, and
# the presentation application's.
sed "s|@PACK_DIR@|$pack|" "$pack/slidevane3.reg.in" >"$work/pack.reg"
mkdir "$work/home"

# The programs get an environment of their own, as a desktop session would start them: nothing of
# this script's but what is named here.
session_env=(HOME="$work/home" PATH="$PATH" DISPLAY="$DISPLAY" LANG=C.UTF-8)
[ -n "${XAUTHORITY:-}" ] && session_env+=(XAUTHORITY="$XAUTHORITY")

# Control centres in pixels at 96 dpi (the layout's twips over 15), relative to the window.
declare -A centre=(
    [Button1]="60 62" [Button2]="60 81" [Button5]="60 138" [Button9]="60 215"
    [Dis1BackGnd]="156 94" [Dis2BackGnd]="156 150" [Dis3BackGnd]="156 206"
    [MainDisBackGnd]="300 154" [WWWBtn]="100 273" [Picture9]="396 19"
)

find_window() {
    wine_find_window || fail "$1: the window did not appear"
    [ "$window_size" = 418x288 ] || fail "$1: the window is $window_size"
}

# The window's pixels once they have stopped changing (repaints follow the pointer).
shoot() {
    local out=$1 previous=$work/previous.png
    rm -f "$previous"
    for _ in $(seq 40); do
        import -silent -window root -crop "418x288+$origin_x+$origin_y" +repage "$out"
        if [ -f "$previous" ] && [ "$(compare -metric AE "$out" "$previous" null: 2>&1)" = 0 ]; then
            return 0
        fi
        cp "$out" "$previous"
        sleep 0.15
    done
    fail "the window never stopped changing"
}

# The path: each step a pointer action, then a screenshot named after it.
steps=(start Button1 Button2 Button9 click:Button5 Dis1BackGnd Dis2BackGnd Dis3BackGnd
       MainDisBackGnd WWWBtn Button1)

walk() {
    local name=$1 step control
    find_window "$name"
    local n=0
    for step in "${steps[@]}"; do
        n=$((n + 1))
        control=${step#click:}
        if [ "$step" = start ]; then
            xdotool mousemove 1000 700
        else
            read -r x y <<<"${centre[$control]}"
            xdotool mousemove "$((origin_x + x))" "$((origin_y + y))"
            [ "$step" != "$control" ] && xdotool click 1
        fi
        shoot "$work/$name-$n-${step/:/-}.png"
    done
    # The close glyph ends the program with status 0.
    read -r x y <<<"${centre[Picture9]}"
    xdotool mousemove "$((origin_x + x))" "$((origin_y + y))" click 1
    local status=0
    wait "$app_pid" || status=$?
    app_pid=
    [ "$status" = 0 ] || fail "$name ended with status $status"
}

xdotool mousemove 1000 700
env -i "${session_env[@]}" \
    SLIDEVANE3_REGISTRY="$work/pack.reg:$data/registry/presentation-application.reg" \
    "$linux_program" >"$work/linux.log" 2>&1 </dev/null &
app_pid=$!
walk linux

xdotool mousemove 1000 700
wine_user_environment "$work/home"
env -i "${wine_env[@]}" "$wine" "$windows_program" >"$work/windows.log" 2>&1 </dev/null &
app_pid=$!
walk windows

# Identical, step by step; and the steps differ from each other, or the comparison proves little.
differences=0
n=0
for step in "${steps[@]}"; do
    n=$((n + 1))
    name=$n-${step/:/-}
    count=$(compare -metric AE "$work/linux-$name.png" "$work/windows-$name.png" null: 2>&1 || true)
    echo "$name: $count pixels differ"
    [ "$count" = 0 ] || differences=$((differences + 1))
done
[ "$differences" = 0 ] || fail "$differences steps differ between the two programs"
[ "$(compare -metric AE "$work/linux-1-start.png" "$work/linux-2-Button1.png" null: 2>&1 || true)" != 0 ] ||
    fail "hovering the strip changed nothing on the screen"
echo "PASS"
