#!/bin/bash
# rx40panel.exe under Wine and Xvfb with the virtual device, as a user meets it: the window
# connects, a mode click sends one record, keypad 1 plays through libmp3.dll, the library page
# downloads from a local HTTPS server, the recorder without an audio device refuses a take, a
# second start shows the first window, starts with arguments control it (and a silent caller
# holds up nobody), the tray shows a wireless unit's battery and its low battery balloon once, and
# the tray menu's exit leaves the shutdown records.
#   e2e_windows.sh DIST SERVER_EXE CERT_DIR SILENT_CALLER_EXE   (run by tools/test-windows.sh:
#   DISPLAY and WINEPREFIX set, a persistent wineserver running)
set -u
here=$(cd "$(dirname "$0")" && pwd)
dist=$1 server_exe=$2 certs=$3 silent_caller=$4
work=$(mktemp -d)
prog=$work/prog
panel="" server=""
trap 'kill $panel $server 2>/dev/null; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    grep -v '^ALSA' "$work/panel.out" 2>/dev/null | tail -20
    for w in $(xdotool search --onlyvisible --class rx40panel.exe 2>/dev/null); do
        echo "window $w: $(xprop -id "$w" -notype _NET_WM_NAME 2>&1)"
    done
    [ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/windows_failure.png"
    exit 1
}
winpath() { echo "Z:$1" | tr / '\\'; }
devsim() { wine "$prog/rx40-devsim.exe" "$@" | tr -d '\r'; }
at() { echo $((cx + $1)) $((cy + $2)); }
# A click as a hand makes it: under Wine a press and release in the same instant can be lost
# on the title bar's buttons and in message boxes.
press() { xdotool mousemove "$1" "$2" sleep 0.2 mousedown "${3:-1}" sleep 0.15 mouseup "${3:-1}"; }
click_at() { press $(at "$1" "$2"); sleep 0.6; }
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
# Wine's windows that show a title: xdotool cannot match their non-ASCII names (Wine's WM_NAME
# holds "?" for them), so compare _NET_WM_NAME as xprop prints it.
shown_titled() {
    local want w
    want=$(printf '%s' "$1" | od -An -to1 | tr -d '\n' | tr -s ' ' '\\')
    for w in $(xdotool search --onlyvisible --class rx40panel.exe 2>/dev/null); do
        [ "$(LC_ALL=C xprop -id "$w" -notype _NET_WM_NAME 2>/dev/null)" = "_NET_WM_NAME = \"$want\"" ] && echo "$w"
    done
}

cp -r "$dist" "$prog"
rm -f "$prog/setting/"*
# Hotkeys on, and keypad 1 plays "ding" (4.jklamA).
printf '[sset]\r\ntexiaofast=1\r\n' >"$prog/setting/set.ini"
printf '<?xml version="1.0" encoding="UTF - 8"?><hotkey><item file="4.jklamA"  key="6356992" /></hotkey>' \
    >"$prog/setting/hotkey.xml"

"$server_exe" "$certs/server.pem" "$certs/server.key" "$here/data/online_list.xml" "$work/port" \
    >"$work/server.out" 2>&1 &
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the list server did not start"

# A Chinese (PRC) system, so no locale prompt; Wine takes the system locale from LC_ALL.
chinese="LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8"
export RX40_DEVSIM_MODEL=KQ3 RX40_DEVSIM_LOG=$(winpath "$work/calls.log") RX40_PLAYER_LOG=$(winpath "$work/player.log")
export RX40_LIST_HOSTS="127.0.0.1:$(cat "$work/port"),127.0.0.1:1" SSL_CERT_FILE=$(winpath "$certs/ca.pem")
(cd "$work" && exec env $chinese wine "$prog/rx40panel.exe") >"$work/panel.out" 2>&1 &
panel=$!
for _ in $(seq 300); do grep -q 'handleMessage\[3\]' "$work/panel.out" 2>/dev/null && break; sleep 0.1; done
grep -q 'handleMessage\[3\]' "$work/panel.out" || fail "the panel never got the device's record"
win=$(visible Tavri | head -1)
[ -n "$win" ] || fail "no window"
eval "$(xdotool getwindowgeometry --shell "$win")"
cx=$((X + 1)) cy=$((Y + 34 + 1))
sleep 1
[ -n "${E2E_SHOTS:-}" ] && import -window root -crop "1010x636+$X+$Y" "$E2E_SHOTS/windows_connected.png"

# A mode click: exactly one record, with the new mode.
devsim log --clear >/dev/null
before=$(devsim record)
click_at $((186 + 3 + 270 + 131)) $((328 + 17 + 105 + 47)) # mode 4, "sing"
log=$(devsim log)
[ "$(echo "$log" | grep -c '^SendUIPara ')" = 1 ] || fail "expected one SendUIPara, got: $log"
sent=$(echo "$log" | sed -n 's/^SendUIPara //p')
[ "${sent:0:2}" = "04" ] && [ "${sent:2}" = "${before:2}" ] || fail "wrong record: $sent (was $before)"

# Keypad 1 with a Wine window focused: the hook plays the sound through libmp3.dll.
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
: >"$work/player.log"
xdotool key KP_1
for _ in $(seq 30); do grep -q '^Play' "$work/player.log" 2>/dev/null && break; sleep 0.1; done
grep -q '^Load .*ding\.mp3' "$work/player.log" && grep -q '^Play' "$work/player.log" ||
    fail "keypad 1 did not play ding: $(cat "$work/player.log")"

# The library page downloads the online list; the file is the Linux build's, byte for byte.
list=$prog/setting/list_new.xml
click_at 95 481
click_at $((186 + 99 + 51)) $((328 + 76 + 15))
for _ in $(seq 100); do [ -s "$list" ] && break; sleep 0.1; done
[ -s "$list" ] || fail "no list file after refresh: $(cat "$work/server.out")"
sleep 0.5
cmp -s "$list" "$here/data/online_list.list_new.xml" || fail "list_new.xml differs from the Linux build's"
[ -n "${E2E_SHOTS:-}" ] && import -window root -crop "1010x636+$X+$Y" "$E2E_SHOTS/windows_library.png"

# The recorder: Wine here has no audio device, so a take is refused with the message.
click_at 95 337
click_at $((186 + 80 + 41)) $((328 + 180 + 13))
tip=""
for _ in $(seq 30); do tip=$(shown_titled 提示 | head -1); [ -n "$tip" ] && break; sleep 0.1; done
[ -n "$tip" ] || fail "no message when the take could not start"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/windows_recorder_refused.png"
# Its OK button, centred at the bottom; without a window manager the first click may only
# activate the box.
eval "$(xdotool getwindowgeometry --shell "$tip" | sed 's/^/TIP_/')"
for _ in 1 2 3; do
    press $((TIP_X + TIP_WIDTH / 2)) $((TIP_Y + TIP_HEIGHT - 22))
    sleep 0.5
    [ -z "$(shown_titled 提示)" ] && break
done
[ -z "$(shown_titled 提示)" ] || fail "the message did not close"
[ -z "$(find "$prog/wav" -type f)" ] || fail "a refused take left files: $(find "$prog/wav" -type f)"

# The close button hides the window; a second start shows it again and ends.
click_at 985 -17
[ -z "$(visible Tavri)" ] || fail "the close button did not hide the window"
(cd "$work" && timeout 30 env $chinese wine "$prog/rx40panel.exe") >"$work/second.out" 2>&1
second=$?
[ $second = 0 ] || fail "the second start failed (status $second): $(cat "$work/second.out")"
sleep 1
[ "$(visible Tavri | wc -l)" = 1 ] || fail "the second start did not show the one window"
kill -0 $panel || fail "the first copy has gone"

# Starts with arguments: the running copy answers on standard output, with the exit statuses.
# RUN EXPECTED-STATUS ARGS...; the output in $out, the errors in $err.
run() {
    local want=$1
    shift
    (cd "$work" && timeout 30 env $chinese wine "$prog/rx40panel.exe" "$@") >"$work/out" 2>"$work/err"
    local status=$?
    out=$(tr -d '\r' <"$work/out") err=$(tr -d '\r' <"$work/err" | grep -v '^[0-9a-f]*:\(fixme\|err\):')
    [ $status = "$want" ] || fail "rx40panel.exe $* ended with $status, not $want: $out $err"
    [ "$want" = 0 ] || [ "$(echo "$err" | wc -l)" = 1 ] || fail "rx40panel.exe $* did not give one error line: $err"
}
last_record() { devsim log | sed -n 's/^SendUIPara //p' | tail -1; }
run 0 --status --json
echo "$out" | jq -e '.connected == true and .model == "KQ3" and .mode == 4 and .battery == null' >/dev/null ||
    fail "status: $out"
devsim log --clear >/dev/null
before=$(devsim record)
run 0 --set volume1=5
[ "$out" = "volume1=5" ] || fail "set answered: $out"
[ "$(devsim log | grep -c '^SendUIPara ')" = 1 ] || fail "set sent: $(devsim log)"
after=$(last_record)
[ "${after:6:2}" = 05 ] && [ "${after:0:6}${after:8}" = "${before:0:6}${before:8}" ] || fail "set: $before -> $after"
run 0 --mute 1 toggle
[ "$(last_record | cut -c7-8)" = 00 ] || fail "mute: $(last_record)"
run 0 --mute 1 toggle
[ "$(last_record | cut -c7-8)" = 05 ] || fail "the mute's release: $(last_record)"
run 0 --preset 2
expected=02320106001901001C270006021900001B270105011902001A2701017F33343233343233343233347FE968321B271C271A27010002191A27010002191A270100021900017F7F337F7F3334321B271C271A27010002191A27010002191A2701000219
got=$(devsim log | grep '^SendUIParaP12')
[ "${got^^}" = "SENDUIPARAP12SETTING $expected" ] || fail "preset 2: $got"
run 2 --bogus
run 2 --set volume1=9
run 2 --set linkState=0
# A caller that connects and never writes: the next one is answered at once.
wine "$silent_caller" >"$work/silent.out" 2>&1 &
silent=$!
for _ in $(seq 50); do grep -q connected "$work/silent.out" 2>/dev/null && break; sleep 0.1; done
grep -q connected "$work/silent.out" || fail "the silent caller did not connect: $(cat "$work/silent.out")"
run 0 --status
[[ "$out" == "KQ3 connected, mode 4 sing, volume1 5, "* ]] || fail "status: $out"
grep -q dropped "$work/silent.out" && fail "the answer waited for the silent caller to be dropped"
for _ in $(seq 50); do grep -q dropped "$work/silent.out" && break; sleep 0.1; done
grep -q dropped "$work/silent.out" || fail "the silent caller was never dropped: $(cat "$work/silent.out")"
wait $silent

# A wireless unit: the battery in the tray's tooltip, and the low battery balloon once.
devsim disconnect
sleep 0.5
run 4 --mode 1
devsim connect LN7
for _ in $(seq 50); do grep -q "tray tooltip: .*5/6" "$work/panel.out" && break; sleep 0.1; done
grep -q "tray tooltip: Tavri控制面板 - 电量 5/6" "$work/panel.out" || fail "no battery tooltip"
devsim battery 150
sleep 0.8
grep -q "tray tooltip: Tavri控制面板 - 电量 1/6" "$work/panel.out" || fail "no tooltip at level 1"
[ "$(grep -c "tray notification: 电量低，请充电" "$work/panel.out")" = 1 ] || fail "no low battery balloon"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/windows_low_battery.png"
devsim battery 152
sleep 0.8
[ "$(grep -c "tray notification: " "$work/panel.out")" = 1 ] || fail "the low battery balloon came again"

# The tray menu's exit: the two shutdown records, and the process ends with status 0.
icon=$(xwininfo -root -tree | grep '"Wine System Tray"' | grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -1)
[ -n "$icon" ] || fail "no tray"
tx=$(echo "$icon" | cut -d+ -f2) ty=$(echo "$icon" | cut -d+ -f3) th=$(echo "$icon" | cut -dx -f2 | cut -d+ -f1)
: >"$work/calls.log"
press $((tx + 12)) $((ty + th - 11)) 3 # the icon: the first, on the tray's bottom row
sleep 1
[ -n "${E2E_SHOTS:-}" ] && import -window root -crop "400x200+0+0" "$E2E_SHOTS/windows_tray_menu.png"
# Its last item, "退出面板" (the menu has no keyboard focus without a window manager).
menu=$(xwininfo -root -tree | grep '"menu": ("rx40panel.exe"' | grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -1)
[ -n "$menu" ] || fail "the tray menu did not open"
mw=${menu%%x*} mh=$(echo "$menu" | cut -dx -f2 | cut -d+ -f1) mx=$(echo "$menu" | cut -d+ -f2) my=$(echo "$menu" | cut -d+ -f3)
press $((mx + mw / 2)) $((my + mh - mh / 6))
for _ in $(seq 150); do kill -0 $panel 2>/dev/null || break; sleep 0.1; done
kill -0 $panel 2>/dev/null && fail "the panel did not quit from the tray menu"
wait $panel
status=$?
[ $status = 0 ] || fail "exit status $status"
run 3 --status
records=$(sed -n 's/^SendUIPara //p' "$work/calls.log" | tr -d '\r')
[ "$(echo "$records" | wc -l)" = 2 ] || fail "expected two shutdown records: $records"
[ "$(echo "$records" | head -1 | cut -c23-24)" = "00" ] && [ "$(echo "$records" | tail -1 | cut -c23-24)" = "01" ] ||
    fail "wrong shutdown records: $records"

# A device library of the other width: the panel starts, says which panel to install, and shows
# no device. The fixture is our library with its PE machine field made i386's.
pe=$(od -An -tu4 -j60 -N4 "$prog/devbridge.dll" | tr -d ' ')
printf '\x4c\x01' | dd of="$prog/devbridge.dll" bs=1 seek=$((pe + 4)) conv=notrunc 2>/dev/null
(cd "$work" && exec env $chinese wine "$prog/rx40panel.exe") >"$work/panel.out" 2>&1 &
panel=$!
tip=""
for _ in $(seq 100); do tip=$(shown_titled 提示 | head -1); [ -n "$tip" ] && break; sleep 0.1; done
[ -n "$tip" ] || fail "no message for a 32-bit device library"
grep -q 'devbridge: cannot load' "$work/panel.out" || fail "no debug line for the library that did not load"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/windows_wrong_width.png"
kill $panel 2>/dev/null
wait $panel 2>/dev/null
echo "PASS"
