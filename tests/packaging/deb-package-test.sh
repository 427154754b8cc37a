#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a scratch root and runs
# the unpacked slidevane3-check against the unpacked sample pack.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/home"
# The installed programs run as a desktop session starts them: with its variables and what the
# test sets, never this script's own environment.
as_user() {
    env -i HOME="$scratch/home" PATH="$PATH" LANG="${LANG:-C.UTF-8}" "$@"
}

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/slidevane3_*_amd64.deb)
dpkg-deb --info "$deb" | grep -E 'Depends: .*libqt6widgets6.*libreoffice-impress'

root="$scratch/root"
dpkg -x "$deb" "$root"
for file in usr/bin/slidevane3 usr/bin/slidevane3-check usr/bin/slidevane3-pack \
    usr/libexec/slidevane3/slidevane3-office-keeper \
    usr/share/applications/slidevane3.desktop usr/share/man/man1/slidevane3-pack.1 \
    usr/share/icons/hicolor/16x16/apps/slidevane3.png usr/share/icons/hicolor/32x32/apps/slidevane3.png \
    usr/share/man/man1/slidevane3.1 usr/share/slidevane3/registry.d/sample-pack.reg \
    usr/share/slidevane3/sample-pack/UI/www-1.gif; do
    test -e "$root/$file" || { echo "missing from the package: $file"; exit 1; }
done
grep -q '^Exec=slidevane3$' "$root/usr/share/applications/slidevane3.desktop"
dpkg-deb --info "$deb" | grep -E 'Depends: .*libgif7.*fonts-dejavu-extra'
as_user "$root/usr/bin/slidevane3-pack" --help >"$scratch/pack-help.txt"
grep -q '^Usage: slidevane3-pack' "$scratch/pack-help.txt"
# Its refusals need no office: an empty source is named and nothing is written.
mkdir "$scratch/empty"
if as_user "$root/usr/bin/slidevane3-pack" --registry "$scratch/pack.reg" "$scratch/empty" "$scratch/pack" \
    2>"$scratch/pack.err"; then
    echo "slidevane3-pack made a pack from an empty folder"; exit 1
fi
grep -q "$scratch/empty: holds no category folders" "$scratch/pack.err"
test ! -e "$scratch/pack" && test ! -e "$scratch/pack.reg"

# The installed registry file names the pack where the package puts it (/usr/...); read a copy
# that names the scratch root instead.
sed "s#/usr/share/slidevane3/sample-pack#$root/usr/share/slidevane3/sample-pack#" \
    "$root/usr/share/slidevane3/registry.d/sample-pack.reg" >"$scratch/sample-pack.reg"
as_user SLIDEVANE3_REGISTRY="$scratch/sample-pack.reg" "$root/usr/bin/slidevane3-check" >"$scratch/check.txt"
grep -q "Nothing the program needs is missing or unusable." "$scratch/check.txt"
grep -q "UI folder:       $root/usr/share/slidevane3/sample-pack\\\\UI\\\\" "$scratch/check.txt"
echo "package installs and checks clean: $(basename "$deb")"
