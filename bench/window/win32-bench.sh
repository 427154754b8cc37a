#!/usr/bin/env bash
# The Win32 window's hover figures under Wine, beside the Qt window's (window_bench): cross-builds
# the benchmark with the "windows" preset in a build tree of its own (build-windows-bench, with
# the benchmarks on and the tests off), imports the sample pack and the presentation application's
# record into a private Wine prefix on a private X display (scripts/wine-session.sh), runs it and
# prints its figures. Arguments go to the benchmark: operations per figure (default 500).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build-windows-bench

cmake --preset windows -B "$build" -DSLIDEVANE3_BENCH=ON -DSLIDEVANE3_TESTS=OFF >/dev/null
cmake --build "$build" --target window_bench_win32 -j "${SLIDEVANE3_JOBS:-2}"

# shellcheck source=scripts/wine-session.sh
source "$root/scripts/wine-session.sh"
wine_session_start
wine_import_pack "$root/sample-pack" "$root/tests/data/win32"
# Into a file, not a pipe: Wine's desktop process, started by the first window, would hold a pipe
# open after the benchmark ends. Wine writes CRLF.
status=0
"$wine" "$build/bench/window/window_bench_win32.exe" "$@" >"$wine_session/figures" 2>&1 \
    </dev/null || status=$?
tr -d '\r' <"$wine_session/figures"
exit "$status"
