#!/usr/bin/env bash
# Reproduces every figure of docs/performance.md: builds the benchmarks in the default build
# tree and runs them one after another (registry store, window, presentation, soak), then the
# Windows window's under Wine (its own cross-build, private prefix and display). The
# presentation figures start a headless office of their own on a private profile.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SLIDEVANE3_BUILD:-build}

cmake --preset default >/dev/null
cmake --build "$build" --target registry_bench window_bench presentation_bench soak_bench

echo "== Registry store =="
"$build/bench/registry/registry_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
echo "== Window (offscreen) =="
"$build/bench/window/window_bench"
echo "== Presentation =="
"$build/bench/presentation/presentation_bench" 9
echo "== Soak (offscreen) =="
"$build/bench/soak/soak_bench"
echo "== Window (Win32, under Wine) =="
bench/window/win32-bench.sh
