#!/usr/bin/env bash
# The program's own peak memory (VmHWM) over a typical run, with the office started ahead and
# without: start on the sample pack, browse the strip, one double-click, then close. Each run has
# a private display, a home folder of its own with an office profile made beforehand, and a
# desktop session's environment; the offices of the run are ended by their pids afterwards.
# Usage: bench/ahead/program-peak.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
runs=${2:-5}
program=$build/src/app/linux/slidevane3
registry=$build/sample-pack/slidevane3.reg
work=$(mktemp -d)
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n 1 "$work/display")
session() { env -i HOME="$work/home" PATH="$PATH" LANG=C.UTF-8 DISPLAY="$display" "$@"; }
mkdir "$work/home"
session soffice --headless --terminate_after_init --norestore >/dev/null 2>&1

# The processes of this run's home, by pid: the program and whatever office it started.
end_session() {
    for pid in $(pgrep -f 'soffice|oosplash|slidevane3'); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$work/home"; then
            kill -9 "$pid" 2>/dev/null || true
        fi
    done
    sleep 1
}

one_run() { # ahead (1 or 0) -> prints peak KiB
    env -i HOME="$work/home" PATH="$PATH" LANG=C.UTF-8 DISPLAY="$display" \
        SLIDEVANE3_OFFICE_AHEAD="$1" SLIDEVANE3_REGISTRY="$registry" "$program" >/dev/null 2>&1 &
    local pid=$!
    sleep 4
    local window
    window=$(DISPLAY=$display xdotool search --onlyvisible --name '^Slidevane$' | head -n 1)
    eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
    for k in 0 1 2 3 4 5 6 7 8 9; do
        DISPLAY=$display xdotool mousemove $((X + 60)) $((Y + 62 + k * 19)) sleep 0.05
    done
    DISPLAY=$display xdotool mousemove $((X + 135)) $((Y + 80)) sleep 0.2 click --repeat 2 --delay 80 1
    sleep 8
    awk '/VmHWM/ {print $2}' "/proc/$pid/status"
    end_session
}

ahead=() before=()
for _ in $(seq "$runs"); do
    ahead+=("$(one_run 1)")
    before+=("$(one_run 0)")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
a=$(median "${ahead[@]}") b=$(median "${before[@]}")
echo "program peak memory over a run with one double-click, medians of $runs:"
echo "  office started ahead: $a KiB; not ahead: $b KiB; ratio $(awk "BEGIN {printf \"%.3f\", $a / $b}") (budget: within 10%)"
