#!/usr/bin/env bash
# Installs every Debian 12 package that the build, the program and the tests need.
set -euo pipefail

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

packages=(
    # build
    cmake ninja-build g++ pkg-config
    # tests, benchmarks, fuzzing, sanitizers
    googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev strace
    # the window and the pictures
    qt6-base-dev libgif-dev fonts-dejavu-core fonts-dejavu-extra
    # the presentation application and its automation SDK
    libreoffice-impress libreoffice-dev libreoffice-dev-common
    # tests on a real display
    xvfb xauth xdotool imagemagick
    # the busy pointer and the test display (xcb), the double-click timed from outside
    # (X events and XTEST input)
    libxcb1-dev libx11-dev libxtst-dev
    # the Windows program, cross-built and tested under Wine
    g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
