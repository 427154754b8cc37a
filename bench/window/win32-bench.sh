#!/usr/bin/env bash
# The Win32 window's hover figures under Wine, beside the Qt window's (window_bench): cross-builds
# the benchmark with the "windows" preset in a build tree of its own (build-windows-bench, with
# the benchmarks on and the tests off), and the writer of the pack of 4096 x 4096 pictures in a
# host tree (build-bench-host, no Qt, no office). In a private Wine prefix on a private X display
# (scripts/wine-session.sh) it imports the sample pack's and the presentation application's
# records and prints the figures; then the same on the pack of 4096 x 4096 pictures; then the
# peak resident memory of the program browsing each pack, in separate processes, alternating.
# Arguments: operations per figure (default 500), runs of each pack for the memory (default 11).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build-windows-bench
host=$root/build-bench-host
count=${1:-500}
memory_runs=${2:-11}
jobs=${SLIDEVANE3_JOBS:-2}

cmake --preset windows -B "$build" -DSLIDEVANE3_BENCH=ON -DSLIDEVANE3_TESTS=OFF >/dev/null
cmake --build "$build" --target window_bench_win32 -j "$jobs"
cmake -S "$root" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSLIDEVANE3_WITH_QT=OFF \
    -DSLIDEVANE3_WITH_UNO=OFF -DSLIDEVANE3_TOOLS=OFF -DSLIDEVANE3_TESTS=OFF >/dev/null
cmake --build "$host" --target huge_picture_pack -j "$jobs"

# shellcheck source=scripts/wine-session.sh
source "$root/scripts/wine-session.sh"
wine_session_start
data=$root/tests/data/win32
bench=$build/bench/window/window_bench_win32.exe

# Into a file, not a pipe: Wine's desktop process, started by the first window, would hold a pipe
# open after the benchmark ends. Wine writes CRLF.
run_bench() {
    local status=0
    "$wine" "$bench" "$@" >"$wine_session/figures" 2>&1 </dev/null || status=$?
    tr -d '\r' <"$wine_session/figures"
    return "$status"
}

wine_import_pack "$root/sample-pack" "$data"
run_bench "$count" "sample pack"

echo "-- writing the pack of 4096 x 4096 pictures"
huge=$("$host/bench/window/huge_picture_pack" "$wine_session" "$host/sample-pack/slidevane3.reg")
cp "$root/sample-pack/slidevane3.reg.in" "$huge/"
wine_import_pack "$huge" "$data"
run_bench "$count" "every picture 4096 x 4096"

echo "-- peak resident memory after browsing every control, $memory_runs runs of each pack"
sample_peaks=() huge_peaks=()
for _ in $(seq "$memory_runs"); do
    wine_import_pack "$root/sample-pack" "$data"
    sample_peaks+=("$(run_bench --browse | sed -n 's/^peak_kib=//p')")
    wine_import_pack "$huge" "$data"
    huge_peaks+=("$(run_bench --browse | sed -n 's/^peak_kib=//p')")
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
sample_peak=$(median "${sample_peaks[@]}")
huge_peak=$(median "${huge_peaks[@]}")
echo "sample pack: ${sample_peaks[*]} KiB, median $sample_peak KiB"
echo "4096 x 4096 pack: ${huge_peaks[*]} KiB, median $huge_peak KiB"
awk -v h="$huge_peak" -v s="$sample_peak" 'BEGIN { printf "ratio %.3f (goal 1.2)\n", h / s }'
