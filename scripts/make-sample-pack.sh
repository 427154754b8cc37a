#!/usr/bin/env bash
# Rebuilds the sample-pack generator and rewrites sample-pack/ (TEMPLATE/, UI/ and
# slidevane3.reg.in). Needs giflib, Qt 6 Gui, the DejaVu fonts and LibreOffice (soffice), which
# writes the templates and renders their first slides; it runs in a private throwaway profile.
# The output is committed; the normal build never runs this.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SLIDEVANE3_TOOLS_BUILD:-$root/build-tools}
cmake -S "$root" -B "$build" -G Ninja -DSLIDEVANE3_TOOLS=ON -DSLIDEVANE3_WITH_QT=OFF \
    -DSLIDEVANE3_WITH_UNO=OFF -DSLIDEVANE3_TESTS=OFF -DSLIDEVANE3_BENCH=OFF >/dev/null
cmake --build "$build" --target slidevane3-make-sample-pack -j2
"$build/tools/pictures/slidevane3-make-sample-pack" "$root/sample-pack"
echo "sample pack written to $root/sample-pack"
