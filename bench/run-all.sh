#!/usr/bin/env bash
# Reproduces every figure of docs/performance.md: builds the benchmarks in the default build
# tree and runs them one after another (registry store, window, presentation, the office started
# ahead, the double-click seen from outside, pack, soak), then the Windows window's under Wine
# (its own cross-build, private prefix and display). The office figures start offices of their
# own on private profiles and displays.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SLIDEVANE3_BUILD:-build}

cmake --preset default >/dev/null
cmake --build "$build" --target registry_bench window_bench presentation_bench \
    ahead_bench outside_bench slidevane3 slidevane3-office-keeper pack_bench soak_bench

echo "== Registry store =="
"$build/bench/registry/registry_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
echo "== Window (offscreen) =="
"$build/bench/window/window_bench"
echo "== Presentation =="
"$build/bench/presentation/presentation_bench" 9
echo "== Office started ahead =="
"$build/bench/ahead/ahead_bench" 7
bench/ahead/program-peak.sh "$build" 7
echo "== Double-click seen from outside =="
"$build/bench/outside/outside_bench" --runs 7
"$build/bench/outside/outside_bench" first --runs 5 --browse 3
echo "== Pack (30 templates) =="
"$build/bench/pack/pack_bench" 5
echo "== Soak (offscreen) =="
"$build/bench/soak/soak_bench"
echo "== Window (Win32, under Wine) =="
bench/window/win32-bench.sh
