#!/usr/bin/env bash
# Builds the Windows program and its tests with mingw-w64 (preset "windows") and runs them under
# Wine: the core tests, the registry adapter against the prefix's real registry, the window, COM
# automation against the test server, the real program driven on a virtual display, and the
# same pixels as the Linux program of the same source (built in the default tree) on that display.
# Everything runs in a private Wine prefix and a private X display made for this run and removed
# afterwards. It installs nothing: scripts/install-deps.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-windows
jobs=${SLIDEVANE3_JOBS:-2}

# shellcheck source=scripts/wine-session.sh
source "$root/scripts/wine-session.sh"

echo "== Windows: the Linux program, for the pixel comparison =="
# Built from the same source in the default tree (scripts/test.sh has built it already).
[ -f "$root/build/CMakeCache.txt" ] || cmake --preset default >/dev/null
cmake --build "$root/build" --target slidevane3 -j "$jobs"
linux_program=$root/build/src/app/linux/slidevane3

echo "== Windows: build (mingw-w64) =="
mkdir -p "$build"
# CTest runs every test program through this; Wine writes CRLF, which test discovery cannot parse.
cat >"$build/wine-run" <<WRAPPER
#!/usr/bin/env bash
set -o pipefail
"$wine" "\$@" 2>&1 </dev/null | tr -d '\r'
WRAPPER
chmod +x "$build/wine-run"
cmake --preset windows -DCMAKE_CROSSCOMPILING_EMULATOR="$build/wine-run" \
    -DSLIDEVANE3_LINUX_PROGRAM="$linux_program" >/dev/null
cmake --build --preset windows -j "$jobs"

echo "== Windows: private display and Wine prefix =="
wine_session_start
# The first window of the prefix starts Wine's desktop process, which would inherit the pipe of
# whichever test made it: one window test is run first with its output going nowhere.
"$wine" "$build/tests/adapters/win32/win32_window_tests.exe" \
    --gtest_filter='*UnloadDestroysTheWindowAndEndsTheLoop' >/dev/null 2>&1 </dev/null

echo "== Windows: tests under Wine =="
ctest --preset windows -j "$jobs"
