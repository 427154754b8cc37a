#!/usr/bin/env bash
# The whole test command: installs what the tests need, builds, and runs every test: the main
# build's tests, the core and registry store under AddressSanitizer and UndefinedBehaviorSanitizer,
# bounded fuzzing runs of the registry-file parsers, path resolution, the GIF decoder and the
# compound-file reader, and the Windows program cross-built with mingw-w64 and tested under
# Wine. It ends with the time each stage took and one line counting every test that ran.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
# Each fuzzer first replays its stored seeds, then searches for the rest of its time; two run
# side by side, one a core.
registry_fuzz_seconds=${SLIDEVANE3_FUZZ_SECONDS:-30}
gif_fuzz_seconds=${SLIDEVANE3_GIF_FUZZ_SECONDS:-20}
more_fuzz_seconds=${SLIDEVANE3_FUZZ_MORE_SECONDS:-15}
compound_fuzz_seconds=${SLIDEVANE3_COMPOUND_FUZZ_SECONDS:-10}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
times=()

# Runs one stage, echoing its output, and notes how long it took.
stage() {
    local name=$1
    shift
    echo "== $name =="
    local start=$SECONDS
    "$@"
    times+=("$(printf '%4d s  %s' $((SECONDS - start)) "$name")")
}

# Runs a command that ends in ctest, echoing its output, and adds up the tests it ran.
counted() {
    "$@" 2>&1 | tee "$scratch/stage.log"
    local count
    count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$scratch/stage.log" | tail -n 1)
    passed=$((passed + ${count:-0}))
}

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" -j "$jobs"
}

# fuzz TARGET SECONDS SEED-FOLDER...: new inputs go to a scratch folder named first; the
# committed seeds are only read.
fuzz() {
    local target=$1 seconds=$2
    shift 2
    mkdir "$scratch/$target"
    "./build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -print_final_stats=1 "$scratch/$target" "$@" >"$scratch/$target.log" 2>&1 ||
        { cat "$scratch/$target.log"; return 1; }
    echo "-- $target, $seconds s: $(grep -E '^stat::number_of_executed_units' "$scratch/$target.log")"
}

fuzz_all() {
    # Two lanes, one a core; a lane that fails fails the stage.
    (fuzz registry_parser_fuzz "$registry_fuzz_seconds" tests/data/registry &&
        fuzz native_path_fuzz "$more_fuzz_seconds" tests/data/fuzz/path) &
    local first=$!
    (fuzz gif_decoder_fuzz "$gif_fuzz_seconds" sample-pack/UI src/picture/assets &&
        fuzz wine_hive_fuzz "$more_fuzz_seconds" tests/data/fuzz/hive &&
        fuzz compound_file_reader_fuzz "$compound_fuzz_seconds" sample-pack/TEMPLATE) &
    local second=$!
    local failed=0
    wait "$first" || failed=1
    wait "$second" || failed=1
    return $failed
}

stage "Install what the build and the tests need" ./scripts/install-deps.sh
stage "Build" build default
stage "Test" counted ctest --preset default -j "$jobs"
stage "Build the core and store under AddressSanitizer and UndefinedBehaviorSanitizer" build asan
stage "Test them so" counted ctest --preset asan -j "$jobs"
stage "Build the fuzzers" build fuzz
stage "Fuzz the parsers, path resolution, the GIF decoder and the compound-file reader" fuzz_all
stage "Windows program under Wine" counted ./scripts/test-windows.sh

echo "== All stages passed =="
printf '%s\n' "${times[@]}"
echo "$passed passed, 0 failed"
