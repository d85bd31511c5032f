#!/bin/bash
# Runs the Windows build's tests under Wine and Xvfb (after tools/build-windows.sh): the unit
# tests through ctest with Wine as the emulator, the end-to-end test of rx40panel.exe, and the
# installer's (install, upgrade, uninstall in a fresh prefix).
# A Wine prefix in build-windows/wineprefix (made once) unless RX40_WINEPREFIX names one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows
. "$root/tools/wine_prefix.sh"

for n in $(seq 300 340); do [ -e /tmp/.X$n-lock ] || { display=:$n; break; }; done
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
cleanup()
{
    wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

# One persistent server for all the tests (a cold start costs seconds a test); its pipes must
# not be ctest's, or ctest waits for it.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
status=0
ctest --test-dir "$build" --timeout 180 --output-on-failure "$@" || status=1

# The end-to-end test with the host's HTTPS list server and test certificates.
if [ $# = 0 ]; then
    cmake --build "$root/build" --target tls_test_server test_certs >/dev/null
    echo "e2e_windows:"
    "$root/tests/e2e_windows.sh" "$build/dist" "$root/build/tests/tls_test_server" "$root/build/tests/certs" \
        "$build/tests/win32/silent_caller.exe" || status=1
    echo "e2e_installer:"
    "$root/tests/e2e_installer.sh" "$build/rx40panel-setup.exe" "$build/dist" "$build/i686/dist" || status=1
fi
exit $status
