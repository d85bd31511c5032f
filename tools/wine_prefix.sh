# Sourced by the Windows test and screenshot scripts: the Wine environment and a prefix made
# ready for the panel (build-windows/wineprefix unless RX40_WINEPREFIX names one).
wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${RX40_WINEPREFIX:-$wine_root/build-windows/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The host's trust settings would reach Wine programs through the Z: drive.
unset SSL_CERT_FILE SSL_CERT_DIR

# Set up without a display: with one, Wine's desktop process stays and "wineserver -w" with it.
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    env -u DISPLAY wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# The skin's typeface is a Windows one: Wine draws it with the host's Chinese font.
env -u DISPLAY wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "微软雅黑" /t REG_SZ /d "WenQuanYi Zen Hei" /f \
    >/dev/null 2>&1
# No window manager runs: Wine's windows are its own to place, or each hide waits for a window
# manager to withdraw them (seconds a window).
env -u DISPLAY wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
