#!/usr/bin/env bash
# Rebuilds the picture generator and rewrites the pictures the program carries
# (src/picture/assets: window background, control pictures, icon, hand pointer).
# Needs giflib, Qt 6 Gui and the DejaVu fonts. The output is committed; the normal build never
# runs this.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SLIDEVANE3_TOOLS_BUILD:-$root/build-tools}
cmake -S "$root" -B "$build" -G Ninja -DSLIDEVANE3_TOOLS=ON -DSLIDEVANE3_WITH_QT=OFF \
    -DSLIDEVANE3_WITH_UNO=OFF -DSLIDEVANE3_TESTS=OFF -DSLIDEVANE3_BENCH=OFF >/dev/null
cmake --build "$build" --target slidevane3-make-pictures -j2
"$build/tools/pictures/slidevane3-make-pictures" "$root/src/picture/assets"
echo "pictures written to $root/src/picture/assets"

# The desktop's icon theme wants PNG files: the same two images as the program's icon.
icons="$root/packaging/icons"
mkdir -p "$icons"
convert "$root/src/picture/assets/slidevane3.ico[0]" "$icons/slidevane3-16.png"
convert "$root/src/picture/assets/slidevane3.ico[1]" "$icons/slidevane3-32.png"
echo "theme icons written to $icons"
