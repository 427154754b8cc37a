#!/usr/bin/env bash
# The whole test command: installs what the tests need, builds, and runs every test: the main
# build's tests, the core and registry store under AddressSanitizer and UndefinedBehaviorSanitizer,
# bounded fuzzing runs of the registry-file parsers, path resolution and the GIF decoder, and
# the Windows program cross-built with mingw-w64 and tested under Wine. It ends with one line
# counting every test that ran.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_seconds=${SLIDEVANE3_FUZZ_SECONDS:-60}
gif_fuzz_seconds=${SLIDEVANE3_GIF_FUZZ_SECONDS:-30}
fuzz_more_seconds=${SLIDEVANE3_FUZZ_MORE_SECONDS:-30}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0

# Runs a stage that ends in ctest, echoing its output, and adds up the tests it ran.
counted() {
    "$@" 2>&1 | tee "$scratch/stage.log"
    local count
    count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$scratch/stage.log" | tail -n 1)
    passed=$((passed + ${count:-0}))
}

./scripts/install-deps.sh

echo "== Build and test =="
cmake --preset default
cmake --build --preset default -j "$jobs"
counted ctest --preset default -j "$jobs"

echo "== Core and registry store under AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake --preset asan
cmake --build --preset asan -j "$jobs"
counted ctest --preset asan -j "$jobs"

echo "== Fuzzing the registry-file parser for ${fuzz_seconds} s =="
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
# New inputs go to the scratch folder named first; the committed fixtures are only read.
mkdir "$scratch/corpus"
./build-fuzz/tests/fuzz/registry_parser_fuzz -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
    -print_final_stats=1 "$scratch/corpus" tests/data/registry

echo "== Fuzzing the Wine hive parser with its links for ${fuzz_more_seconds} s =="
mkdir "$scratch/hive-corpus"
./build-fuzz/tests/fuzz/wine_hive_fuzz -max_total_time="$fuzz_more_seconds" -rss_limit_mb=2048 \
    -print_final_stats=1 "$scratch/hive-corpus" tests/data/fuzz/hive

echo "== Fuzzing path resolution for ${fuzz_more_seconds} s =="
mkdir "$scratch/path-corpus"
./build-fuzz/tests/fuzz/native_path_fuzz -max_total_time="$fuzz_more_seconds" -rss_limit_mb=2048 \
    -print_final_stats=1 "$scratch/path-corpus" tests/data/fuzz/path

echo "== Fuzzing the GIF decoder for ${gif_fuzz_seconds} s =="
# Seeded with every picture the project ships; new inputs go to the scratch folder.
mkdir "$scratch/gif-corpus"
./build-fuzz/tests/fuzz/gif_decoder_fuzz -max_total_time="$gif_fuzz_seconds" -rss_limit_mb=2048 \
    -print_final_stats=1 "$scratch/gif-corpus" sample-pack/UI src/picture/assets

counted ./scripts/test-windows.sh

echo "== All stages passed =="
echo "$passed passed, 0 failed"
