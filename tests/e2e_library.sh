#!/bin/bash
# The real panel under Xvfb against a local HTTPS list server: refresh downloads and keeps the
# list, a chosen entry reaches the virtual device, a second click while downloading shows the tip.
#   e2e_library.sh DIST SERVER_EXE CERT_DIR
. "$(dirname "$0")/e2e_lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
server_exe=$2 certs=$3
e2e_prepare "$1"

"$server_exe" "$certs/server.pem" "$certs/server.key" "$here/data/online_list.xml" "$work/port" "$work/delay" \
    >"$work/server.out" 2>&1 &
server=$!
trap 'kill $server $panel $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the list server did not start"
# Port 1 refuses: the fallback fails too.
export RX40_LIST_HOSTS="127.0.0.1:$(cat "$work/port"),127.0.0.1:1" SSL_CERT_FILE=$certs/ca.pem
e2e_start
devsim log --clear >/dev/null

list=$work/prog/setting/list_new.xml
click_at 95 481 # navigation: the library page
xdotool mousemove 5 5
sleep 0.3
import -window root "$work/before.png"
click_at $((186 + 99 + 51)) $((328 + 76 + 15)) # refresh
for _ in $(seq 50); do [ -s "$list" ] && break; sleep 0.1; done
[ -s "$list" ] || fail "no list file after refresh: $(cat "$work/server.out")"
grep -q '演唱厅 &amp; &quot;Hall&quot;_在线' "$list" || fail "list file lacks the downloaded preset: $(head -c 600 "$list")"
[ "$(grep -c '<category ' "$list")" = 3 ] || fail "list file does not hold three presets"
# Byte for byte what both builds write (the Windows test compares with the same file).
cmp -s "$list" "$here/data/online_list.list_new.xml" || fail "the list file differs from tests/data/online_list.list_new.xml"
sleep 0.5

# The selector shows the first downloaded entry; open it and choose the second.
xdotool mousemove 5 5
sleep 0.3
import -window root "$work/after.png"
[ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 | cut -d' ' -f1)" != 0 ] ||
    fail "the selector did not change"
combo_x=$((186 + 306 + 115)) combo_y=$((328 + 76 + 15))
click_at $combo_x $combo_y
sleep 0.3
xdotool key Down Return # the menu opens on the chosen entry: the next one
sleep 0.5
expected=02320106001901001C270006021900001B270105011902001A2701017F33343233343233343233347FE968321B271C271A27010002191A27010002191A270100021900017F7F337F7F3334321B271C271A27010002191A27010002191A2701000219
got=$(devsim log | grep '^SendUIParaP12' || true)
[ "$(echo "$got" | wc -l)" = 1 ] || fail "expected one preset block: $got"
[ "${got^^}" = "SENDUIPARAP12SETTING $expected" ] || fail "wrong preset block: $got"

# A slow server. The button is disabled while downloading; a reconnection of the device enables
# the device controls again, and a click then shows the tip once and starts nothing.
echo 4000 >"$work/delay"
refresh=$(at $((186 + 99 + 51)) $((328 + 76 + 15)))
xdotool mousemove $refresh click 1
sleep 0.5
[ "$(grep -c request "$work/server.out")" = 2 ] || fail "the second download did not reach the server"
xdotool click 1 # disabled: nothing
sleep 0.3
devsim event 2 >/dev/null
sleep 0.5
xdotool click 1
sleep 0.5
tips=$(xdotool search --onlyvisible --name '^提示$' | wc -l)
[ "$tips" = 1 ] || fail "expected one tip, found $tips"
import -window root "$work/tip.png"
[ -n "${E2E_SHOTS:-}" ] && cp "$work/tip.png" "$E2E_SHOTS/library_tip.png"
xdotool key Return
sleep 0.3
[ "$(xdotool search --onlyvisible --name '^提示$' | wc -l)" = 0 ] || fail "the tip did not close"
[ "$(grep -c request "$work/server.out")" = 2 ] || fail "a click while downloading started another download"
echo "PASS"
