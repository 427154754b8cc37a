#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a scratch root and runs
# the unpacked slidevane3-check against the unpacked sample pack.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/slidevane3_*_amd64.deb)
dpkg-deb --info "$deb" | grep -E 'Depends: .*libqt6widgets6.*libreoffice-impress'

root="$scratch/root"
dpkg -x "$deb" "$root"
for file in usr/bin/slidevane3 usr/bin/slidevane3-check usr/share/applications/slidevane3.desktop \
    usr/share/icons/hicolor/16x16/apps/slidevane3.png usr/share/icons/hicolor/32x32/apps/slidevane3.png \
    usr/share/man/man1/slidevane3.1 usr/share/slidevane3/registry.d/sample-pack.reg \
    usr/share/slidevane3/sample-pack/UI/www-1.gif; do
    test -e "$root/$file" || { echo "missing from the package: $file"; exit 1; }
done
grep -q '^Exec=slidevane3$' "$root/usr/share/applications/slidevane3.desktop"

# The installed registry file names the pack where the package puts it (/usr/...); read a copy
# that names the scratch root instead.
sed "s#/usr/share/slidevane3/sample-pack#$root/usr/share/slidevane3/sample-pack#" \
    "$root/usr/share/slidevane3/registry.d/sample-pack.reg" >"$scratch/sample-pack.reg"
SLIDEVANE3_REGISTRY="$scratch/sample-pack.reg" "$root/usr/bin/slidevane3-check" >"$scratch/check.txt"
grep -q "Nothing the program needs is missing or unusable." "$scratch/check.txt"
grep -q "UI folder:       $root/usr/share/slidevane3/sample-pack\\\\UI\\\\" "$scratch/check.txt"
echo "package installs and checks clean: $(basename "$deb")"
