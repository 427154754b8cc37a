#!/usr/bin/env bash
# Drives the real slidevane3.exe under Wine on the display in $DISPLAY with xdotool, over the sample
# pack, and checks what the screen shows (each control's rectangle against the GIF it should show,
# drawn over the background) and what reached the test automation server and the test browser.
# Needs WINEPREFIX and DISPLAY set, with a persistent wineserver started on that display.
set -euo pipefail

program=$1 server=$2 recorder=$3 pack=$4 assets=$5 data=$6
# The launcher and the registry imports shared with the scripts that make the session.
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
windows_path() { wine_windows_path "$1"; }
run() { "$wine" "$@" >/dev/null 2>&1 </dev/null; }

# The prefix: the pack's install record and the application's, in the 32-bit view; the test
# server and the test browser; where they write.
wine_import_pack "$pack" "$data" || fail "registry import"
run "$server" /RegServer || fail "test server registration"
run "$recorder" /Register || fail "test browser registration"
settings='HKCU\Software\Slidevane3 Test Office'
run reg add "$settings" /v LogFile /d "$(windows_path "$work/calls.log")" /f
run reg add "$settings" /v UrlLog /d "$(windows_path "$work/urls.log")" /f
run reg add "$settings" /v FailStep /d "" /f

# Control rectangles in pixels at 96 dpi: the layout's twips over 15, rounded.
declare -A rect
while read -r name left top width height; do
    rect[$name]=$(awk -v l="$left" -v t="$top" -v w="$width" -v h="$height" \
        'function r(x) { return int(x / 15 + 0.5) } BEGIN { print r(l), r(t), r(w), r(h) }')
done <<'LAYOUT'
Dis1BackGnd 1800 1050 1080 720
Dis2BackGnd 1800 1890 1080 720
Dis3BackGnd 1800 2730 1080 720
MainDisBackGnd 3315 1410 2370 1815
WWWBtn 120 3960 2760 270
Picture10 5520 180 225 225
Picture9 5835 180 225 225
Button10 240 3390 1320 255
Button5 240 1950 1320 255
Button3 240 1380 1320 255
Button1 240 810 1320 255
LAYOUT

start_program() {
    wine_user_environment
    env -i "${wine_env[@]}" "$wine" "$program" >/dev/null 2>&1 </dev/null &
    app_pid=$!
    wine_find_window || fail "the window did not appear"
    [ "$window_size" = 418x288 ] || fail "window is $window_size, not 418x288"
}

# Pixels of the control's rectangle on screen that differ from `picture` drawn 1:1 at its top-left
# corner over the background.
differing() {
    local control=$1 picture=$2
    read -r left top width height <<<"${rect[$control]}"
    import -silent -window root -crop "${width}x${height}+$((origin_x + left))+$((origin_y + top))" \
        +repage "$work/screen.png"
    convert "$assets/background.gif[0]" -crop "${width}x${height}+$left+$top" +repage \
        "$picture[0]" -geometry +0+0 -composite "$work/expected.png"
    compare -metric AE "$work/screen.png" "$work/expected.png" null: 2>&1 || true
}

# Waits for the control to show the picture (repaints are asynchronous).
expect_shows() {
    local control=$1 picture=$2 count=
    for _ in $(seq 25); do
        count=$(differing "$control" "$picture")
        [ "$count" = 0 ] && return 0
        sleep 0.2
    done
    fail "$control does not show $(basename "$picture") ($count pixels differ)"
}

# For a look that must stay: whatever the click's messages still bring has had its time.
expect_keeps() {
    local count
    sleep 0.5
    count=$(differing "$1" "$2")
    [ "$count" = 0 ] || fail "$1 no longer shows $(basename "$2") ($count pixels differ)"
}

# The check above must be able to tell the looks apart, or it would prove nothing.
expect_not_shows() {
    local count
    count=$(differing "$1" "$2")
    [ "$count" != 0 ] || fail "$1 shows $(basename "$2") although it should not"
}

point() { # the centre of a control, on screen
    read -r left top width height <<<"${rect[$1]}"
    echo "$((origin_x + left + width / 2)) $((origin_y + top + height / 2))"
}

wait_for_line() {
    local file=$1 line=$2
    for _ in $(seq 50); do
        [ -f "$file" ] && tr -d '\r' <"$file" | grep -qxF -- "$line" && return 0
        sleep 0.2
    done
    fail "no '$line' in $(basename "$file"): $(cat "$file" 2>/dev/null)"
}

ui=$pack/UI
start_program

echo "start-up: the current category and its preview page"
expect_shows Button3 "$ui/b_Announcement-c.gif"
expect_not_shows Button3 "$ui/b_Announcement-a.gif"
expect_shows Button1 "$assets/Button1.gif"
expect_shows MainDisBackGnd "$ui/p_Announcement-c4.gif"
expect_shows Picture9 "$assets/Picture9.gif"

echo "hover over the strip"
xdotool mousemove $(point Button5)
expect_shows Button5 "$ui/b_Introduction-b.gif"
expect_shows Button1 "$ui/b_Celebration-a.gif"
expect_shows Button3 "$ui/b_Announcement-c.gif"
expect_shows WWWBtn "$ui/www-1.gif"

echo "a right click on a category is no click: its release gives the normal picture"
xdotool click 3
expect_shows Button5 "$ui/b_Introduction-a.gif"
expect_keeps Button5 "$ui/b_Introduction-a.gif"
expect_shows Button3 "$ui/b_Announcement-c.gif"

echo "click a category: the one current before keeps its picture until the pointer moves"
xdotool click 1
expect_shows Button5 "$ui/b_Introduction-c.gif"
expect_shows MainDisBackGnd "$ui/p_Introduction-c4.gif"
expect_keeps Button3 "$ui/b_Announcement-c.gif"
xdotool mousemove_relative 1 0
expect_shows Button3 "$ui/b_Announcement-a.gif"

echo "hover over a thumbnail"
xdotool mousemove $(point Dis2BackGnd)
expect_shows MainDisBackGnd "$ui/p_Introduction-c5.gif"
expect_not_shows MainDisBackGnd "$ui/p_Introduction-c4.gif"

echo "other buttons open nothing, and presses of different buttons make no double-click"
xdotool click --repeat 2 --delay 80 3
xdotool click --repeat 2 --delay 80 2
sleep 0.7
xdotool click 1 sleep 0.08 click 3
sleep 0.7
xdotool click 3 sleep 0.08 click 1
sleep 0.7
xdotool click 1 sleep 0.05 click 3 sleep 0.05 click 1
sleep 1
if [ -f "$work/calls.log" ]; then fail "a template was opened: $(cat "$work/calls.log")"; fi

echo "double-click the thumbnail: the template opens in the presentation application"
xdotool click --repeat 2 --delay 80 1
wait_for_line "$work/calls.log" "Application.Visible=-1"
expected="Presentation.ApplyTemplate($(windows_path "$pack")\\TEMPLATE\\introduction2.otp\\0)"
wait_for_line "$work/calls.log" "$expected"

echo "the web button"
xdotool mousemove $(point WWWBtn)
expect_shows WWWBtn "$ui/www-2.gif"
xdotool click 1
wait_for_line "$work/urls.log" "http://www.norvale.example/"

echo "only once, and the other buttons leave the close glyph alone"
[ "$(grep -c ApplyTemplate "$work/calls.log")" = 1 ] || fail "templates opened: $(cat "$work/calls.log")"
xdotool mousemove $(point Picture9) click 3 sleep 0.7 click --repeat 2 --delay 80 3
sleep 1
kill -0 "$app_pid" 2>/dev/null || fail "a right click closed the program"

echo "the close glyph ends the program with status 0"
sleep 0.7
xdotool click 1
status=0
wait "$app_pid" || status=$?
app_pid=
[ "$status" = 0 ] || fail "the program ended with status $status"

# The minimize glyph is checked by the window tests (IsIconic): with no window manager on the
# display, X keeps a minimized window mapped, so the screen cannot tell.
echo "PASS"
