#!/usr/bin/env bash
# Builds the Windows program and its tests with mingw-w64 (preset "windows") and runs them under
# Wine: the core tests, the registry adapter against the prefix's real registry, the window, COM
# automation against the test server, and the real program driven on a virtual display.
# Everything runs in a private Wine prefix and a private X display made for this run and removed
# afterwards. It installs nothing: scripts/install-deps.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-windows
jobs=${SLIDEVANE3_JOBS:-2}

wine=/usr/lib/wine/wine64 # the plain "wine" launcher warns about the missing 32-bit Wine
[ -x "$wine" ] || wine=$(command -v wine)

work=$(mktemp -d /tmp/slidevane3-windows.XXXXXX)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "== Windows: build (mingw-w64) =="
mkdir -p "$build"
# CTest runs every test program through this; Wine writes CRLF, which test discovery cannot parse.
cat >"$build/wine-run" <<WRAPPER
#!/usr/bin/env bash
set -o pipefail
"$wine" "\$@" 2>&1 </dev/null | tr -d '\r'
WRAPPER
chmod +x "$build/wine-run"
cmake --preset windows -DCMAKE_CROSSCOMPILING_EMULATOR="$build/wine-run" >/dev/null
cmake --build --preset windows -j "$jobs"

echo "== Windows: private display and Wine prefix =="
# The display comes first: a wineserver started without one cannot create windows later.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
display_number=$(head -n 1 "$work/display")
[ -n "$display_number" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display_number"
"$wine" wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w
# Kept running so that each test starts in milliseconds; its helpers must not hold CTest's pipes.
setsid wineserver -p >/dev/null 2>&1 </dev/null &
# The first window of the prefix starts Wine's desktop process, which would inherit the pipe of
# whichever test made it: one window test is run first with its output going nowhere.
"$wine" "$build/tests/adapters/win32/win32_window_tests.exe" \
    --gtest_filter='*UnloadDestroysTheWindowAndEndsTheLoop' >/dev/null 2>&1 </dev/null

echo "== Windows: tests under Wine =="
ctest --preset windows -j "$jobs"
