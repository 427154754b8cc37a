#!/usr/bin/env bash
# The whole test command: installs what the tests need, builds, and runs every test: the main
# build's tests, the core and registry store under AddressSanitizer and UndefinedBehaviorSanitizer,
# the Windows program cross-built with mingw-w64 and tested under Wine, and a bounded fuzzing
# run of the registry-file parser.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_seconds=${SLIDEVANE3_FUZZ_SECONDS:-60}

./scripts/install-deps.sh

echo "== Build and test =="
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== Core and registry store under AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

./scripts/test-windows.sh

echo "== Fuzzing the registry-file parser for ${fuzz_seconds} s =="
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
# New inputs go to the scratch folder named first; the committed fixtures are only read.
fuzz_corpus=$(mktemp -d)
trap 'rm -rf "$fuzz_corpus"' EXIT
./build-fuzz/tests/fuzz/registry_parser_fuzz -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
    -print_final_stats=1 "$fuzz_corpus" tests/data/registry
