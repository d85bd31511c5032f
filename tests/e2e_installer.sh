#!/bin/bash
# The installer under Wine, in a fresh prefix of its own: silent install with and without the
# virtual device, an upgrade while the installed panel runs, the maker's devbridge.dll kept,
# the 32-bit folder for a 32-bit devbridge.dll, and a silent uninstall that keeps the settings.
#   e2e_installer.sh SETUP_EXE DIST64 DIST32   (DISPLAY set: run by tools/test-windows.sh)
set -u
setup=$1 dist64=$2 dist32=$3
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
panel=""
cleanup() {
    kill $panel 2>/dev/null
    wineserver -k 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/panel.out" ] && grep -v '^ALSA' "$work/panel.out" | tail -10; exit 1; }

export RX40_WINEPREFIX=$work/prefix
. "$root/tools/wine_prefix.sh"
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
c=$WINEPREFIX/drive_c
pf="$c/Program Files/rx40panel"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\rx40panel'
shortcut="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/rx40panel.lnk"
install() { timeout 120 wine "$setup" /S "$@" </dev/null >/dev/null 2>&1; }

# The installed folder holds DIST's program files with their bytes (the virtual device and
# the user's folders aside).
same_program() { # FOLDER DIST
    local f
    (cd "$2" && find . -type f ! -name devbridge.dll ! -name rx40-devsim.exe ! -path './setting/*' ! -path './wav/*') |
        while read -r f; do
            cmp -s "$1/$f" "$2/$f" || echo "$f"
        done >"$work/diff"
    [ ! -s "$work/diff" ] || fail "$1 is not $2's program: $(head -3 "$work/diff")"
}
start_panel() { # FOLDER
    (cd "$work" && exec env LC_ALL=zh_CN.UTF-8 RX40_DEVSIM_MODEL=KQ3 wine "$1/rx40panel.exe") >"$work/panel.out" 2>&1 &
    panel=$!
}
connected_within() { # SECONDS
    local i
    for i in $(seq $(($1 * 10))); do grep -q 'handleMessage\[3\]' "$work/panel.out" 2>/dev/null && return 0; sleep 0.1; done
    return 1
}
stop_panel() { kill $panel 2>/dev/null; { wait $panel; } 2>/dev/null; panel=""; }

# 1. A fresh silent install with the virtual device.
install /DEVSIM || fail "the silent install failed"
same_program "$pf" "$dist64"
cmp -s "$pf/devbridge.dll" "$dist64/devbridge.dll" || fail "the virtual device was not installed"
for f in LICENSE.txt THIRD_PARTY_NOTICES.txt uninstall.exe; do [ -f "$pf/$f" ] || fail "no $f"; done
[ -d "$pf/setting" ] && [ -d "$pf/wav" ] || fail "no setting or wav folder"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$(head -1 "$dist64/current_version.txt")" ||
    fail "no entry in the installed programs"
start_panel "$pf"
connected_within 20 || fail "the installed panel did not connect to the virtual device"

# 2. An upgrade while it runs: stopped first, files replaced, the user's files kept.
printf '[pset]\r\nlanguage=0\r\n[sset]\r\ntexiaoVol=42\r\n' >"$pf/setting/set.ini"
cp "$pf/setting/set.ini" "$work/set.ini"
cp "$dist64/sound/ding.mp3" "$pf/sound/my own sound.mp3"
echo damaged >>"$pf/icon.png"
cp "$pf/devbridge.dll" "$work/ours.dll"
install /DEVSIM || fail "the upgrade failed"
for _ in $(seq 50); do kill -0 $panel 2>/dev/null || break; sleep 0.1; done
kill -0 $panel 2>/dev/null && fail "the running panel was not stopped by the upgrade"
{ wait $panel; } 2>/dev/null
panel=""
same_program "$pf" "$dist64"
cmp -s "$pf/setting/set.ini" "$work/set.ini" || fail "set.ini changed: $(cat "$pf/setting/set.ini")"
[ -f "$pf/sound/my own sound.mp3" ] || fail "the imported sound is gone"
cmp -s "$pf/devbridge.dll" "$work/ours.dll" || fail "the installed devbridge.dll was replaced"

# 3. The maker's library stays byte for byte, with the virtual device chosen or not.
for option in /DEVSIM ""; do
    mkdir -p "$c/maker"
    printf 'MZ the maker'"'"'s library' >"$c/maker/devbridge.dll"
    cp "$c/maker/devbridge.dll" "$work/marker.dll"
    install $option '/D=C:\maker' || fail "install $option over the maker's library failed"
    cmp -s "$c/maker/devbridge.dll" "$work/marker.dll" || fail "the maker's devbridge.dll changed ($option)"
    [ ! -f "$c/maker/rx40-devsim.exe" ] || fail "the virtual device came with the maker's library ($option)"
    same_program "$c/maker" "$dist64"
done
# Without the virtual device and without a library: "not connected".
install '/D=C:\plain' || fail "install without the virtual device failed"
[ ! -f "$c/plain/devbridge.dll" ] || fail "a devbridge.dll came without the component"
start_panel "$c/plain"
for _ in $(seq 100); do grep -q 'devbridge: cannot load' "$work/panel.out" 2>/dev/null && break; sleep 0.1; done
grep -q 'devbridge: cannot load' "$work/panel.out" || fail "the panel without a device library did not start"
connected_within 2 && fail "connected without a device library"
stop_panel

# 4. A 32-bit devbridge.dll in the folder: the 32-bit program folder.
mkdir -p "$c/maker32"
cp "$dist32/devbridge.dll" "$c/maker32/devbridge.dll"
install '/D=C:\maker32' || fail "install beside a 32-bit library failed"
same_program "$c/maker32" "$dist32"
cmp -s "$c/maker32/devbridge.dll" "$dist32/devbridge.dll" || fail "the 32-bit library changed"
wine reg query "$key" /v Width 2>/dev/null | grep -q 32 || fail "the entry does not say 32-bit"

# 5. A silent uninstall of the first folder: program, shortcut and entry gone; settings kept.
install >/dev/null # the entry names the Program Files folder again
# It copies itself to the temporary folder and goes on from there: wait for its last step.
wine "$pf/uninstall.exe" /S </dev/null >/dev/null 2>&1
for _ in $(seq 60); do wine reg query "$key" >/dev/null 2>&1 || break; sleep 0.5; done
sleep 1
[ ! -e "$pf/rx40panel.exe" ] && [ ! -e "$pf/uninstall.exe" ] && [ ! -e "$pf/ui" ] || fail "program files left: $(ls "$pf")"
[ ! -e "$pf/sound/ding.mp3" ] || fail "the installed sounds were left"
[ ! -e "$pf/devbridge.dll" ] || fail "the virtual device was left"
[ ! -f "$shortcut" ] || fail "the shortcut was left"
wine reg query "$key" >/dev/null 2>&1 && fail "the entry was left"
cmp -s "$pf/setting/set.ini" "$work/set.ini" || fail "the uninstall did not keep set.ini"
[ -f "$pf/sound/my own sound.mp3" ] || fail "the uninstall did not keep the imported sound"
echo "PASS"
