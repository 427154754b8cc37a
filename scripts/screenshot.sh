#!/usr/bin/env bash
# Regenerates docs/screenshot.png: the program on the bundled sample pack under a private X
# server, with the pointer resting on the third thumbnail. Run it when the look changes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SLIDEVANE3_BUILD:-$root/build}
cmake --build "$build" --target slidevane3 >/dev/null

work=$(mktemp -d)
exec 3<>"$work/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $program $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do
    number=$(head -n 1 "$work/display" 2>/dev/null || true)
    [ -n "$number" ] && break
    sleep 0.1
done
export DISPLAY=":$number"

SLIDEVANE3_REGISTRY="$build/sample-pack/slidevane3.reg" XDG_RUNTIME_DIR="$work" \
    "$build/src/app/linux/slidevane3" &
program=$!
for _ in $(seq 100); do
    window=$(xdotool search --name '^Slidevane$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
xdotool windowmove --sync "$window" 0 0
sleep 0.5
# Over a strip button first (it repaints the strip), then onto the third thumbnail.
xdotool mousemove --sync 60 120 mousemove --sync 62 121 sleep 0.2 \
    mousemove --sync 150 205 mousemove --sync 152 206
sleep 0.5
import -window root -crop 418x288+0+0 +repage "$root/docs/screenshot.png"
echo "wrote $root/docs/screenshot.png"
