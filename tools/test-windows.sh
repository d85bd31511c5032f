#!/bin/bash
# Runs the Windows build's tests under Wine and Xvfb (after tools/build-windows.sh): the unit
# tests through ctest with Wine as the emulator, and the end-to-end test of rx40panel.exe.
# A fresh Wine prefix in build-windows/wineprefix unless RX40_WINEPREFIX names one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows
export WINEPREFIX=${RX40_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The host's trust settings would reach Wine programs through the Z: drive.
unset SSL_CERT_FILE SSL_CERT_DIR

if [ ! -d "$WINEPREFIX/drive_c" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# The skin's typeface is a Windows one: Wine draws it with the host's Chinese font.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "微软雅黑" /t REG_SZ /d "WenQuanYi Zen Hei" /f \
    >/dev/null 2>&1
wineserver -w

display=:$((90 + RANDOM % 400))
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
ctest --test-dir "$build" --timeout 180 --output-on-failure "$@"
