#!/usr/bin/env bash
# Installs what the program needs, builds it and opens the window on the bundled sample pack.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target slidevane3 slidevane3-check

export SLIDEVANE3_REGISTRY="$PWD/build/sample-pack/slidevane3.reg"
./build/tools/check/slidevane3-check
exec ./build/src/app/linux/slidevane3
