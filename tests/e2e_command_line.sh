#!/bin/bash
# The command line a script or a stream deck uses: starts of rx40panel with arguments, in the
# default environment, against the running panel with the virtual device. Then the tray's battery
# tooltip and its one low battery notice, driven by the device's battery reports, with a desktop
# notification service on a private session bus and without one.
. "$(dirname "$0")/e2e_lib.sh"
e2e_prepare "$1"
notifier=$2
here=$(cd "$(dirname "$0")" && pwd)
command -v jq >/dev/null || fail "jq is not installed"
mkdir -p "$work/prog/setting"
cp "$here/data/online_list.list_new.xml" "$work/prog/setting/list_new.xml"
# The player picks its own output, as for a user; its log shows what it was told.
export RX40_PLAYER_LOG=$work/player.log
unset RX40_PLAYER_OUTPUT
e2e_start
P=$work/prog/rx40panel
sent_count() { devsim log | grep -c '^SendUIPara ' || true; }
last_record() { devsim log | sed -n 's/^SendUIPara //p' | tail -1; }
# RUN EXPECTED-STATUS ARGS...: one start with arguments; its output in $out, its errors in $err.
run() {
    local want=$1
    shift
    timeout 20 "$P" "$@" >"$work/out" 2>"$work/err"
    local status=$?
    out=$(cat "$work/out") err=$(cat "$work/err")
    [ $status = "$want" ] || fail "rx40panel $* ended with $status, not $want: $out $err"
    if [ "$want" = 0 ]; then
        [ -z "$err" ] || fail "rx40panel $* wrote errors: $err"
    else
        [ "$(echo "$err" | wc -l)" = 1 ] && [ -n "$err" ] || fail "rx40panel $* did not give one error line: $err"
        [ -z "$out" ] || fail "rx40panel $* wrote output on an error: $out"
    fi
}

# --status --json: every field as the device holds it.
run 0 --status --json
echo "$out" | jq -e '.connected == true and .model == "KQ3" and .battery == null' >/dev/null ||
    fail "status: $out"
device=$(devsim record | tr -d '\r')
fields=(mode eqLevel1 eqLevel2 volume1 volume2 volume4 volume3 duckingLevel denoiseLevel reserved9 librarySwitchB
    hardMode switch3 switch1 aiDenoise headEnable lightMode lightColour lightColourMask lightBrightness librarySwitchA
    eqPreset batteryVoltage reserved23 headState mainState linkState)
for i in "${!fields[@]}"; do
    [ "$(echo "$out" | jq ".${fields[$i]}")" = $((16#${device:$((i * 2)):2})) ] ||
        fail "status field ${fields[$i]} is not the device's: $out / $device"
done
run 0 --status
[ "$out" = "KQ3 connected, mode 0 Preset, volume1 6, volume2 6, volume3 6, volume4 6" ] || fail "status line: $out"

# --set volume1=5: one record, only byte 3 changed; the page shows it.
before=$(devsim record | tr -d "\r") n=$(sent_count)
run 0 --set volume1=5
[ "$out" = "volume1=5" ] || fail "set answered: $out"
[ "$(sent_count)" = $((n + 1)) ] || fail "set sent $(($(sent_count) - n)) records"
after=$(last_record)
[ "${after:0:6}${after:8}" = "${before:0:6}${before:8}" ] && [ "${after:6:2}" = 05 ] ||
    fail "set changed more than volume1: $before -> $after"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/command_set.png"

# --mute 1 toggle twice: 0, then back to the volume last set.
run 0 --mute 1 toggle
[ "$(last_sent_byte 3)" = 0 ] || fail "mute did not send 0"
run 0 --status
[[ "$out" == *"volume1 0 muted"* ]] || fail "status while muted: $out"
run 0 --mute 1 toggle
[ "$(last_sent_byte 3)" = 5 ] || fail "releasing the mute sent $(last_sent_byte 3), not 5"

# --mode 3: as the click on the quick page.
run 0 --mode 3
[ "$(last_sent_byte 0)" = 3 ] || fail "mode 3 was not sent"

# --preset: by number and by name, the library entry's own bytes, each time it is asked for.
expected=02320106001901001C270006021900001B270105011902001A2701017F33343233343233343233347FE968321B271C271A27010002191A27010002191A270100021900017F7F337F7F3334321B271C271A27010002191A27010002191A2701000219
devsim log --clear >/dev/null
run 0 --preset 2
run 0 --preset '演唱厅 & "Hall"_在线'
got=$(devsim log | grep '^SendUIParaP12' | tr -d '\r')
[ "$(echo "${got^^}" | grep -cx "SENDUIPARAP12SETTING $expected")" = 2 ] || fail "preset blocks: $got"

# --play and --stop-sounds: the player is told.
: >"$RX40_PLAYER_LOG"
run 0 --play ding
run 0 --stop-sounds
grep -q '^Load .*/sound/ding\.mp3' "$RX40_PLAYER_LOG" && grep -q '^Play' "$RX40_PLAYER_LOG" &&
    [ "$(tail -1 "$RX40_PLAYER_LOG")" = Stop ] || fail "player log: $(cat "$RX40_PLAYER_LOG")"

# Mistakes: status 2, nothing sent.
n=$(devsim log | wc -l)
run 2 --bogus
run 2 --set volume9=1
run 2 --set volume1=9
run 2 --set batteryVoltage=1
run 2 --mode 6
run 2 --preset 4
run 2 --play '../../../etc/passwd'
[ "$(devsim log | wc -l)" = "$n" ] || fail "a refused command reached the device: $(devsim log | tail -3)"
run 0 --help
[[ "$out" == *"--stop-sounds"* ]] || fail "help: $out"
run 0 --version
[ "$out" = "rx40panel $(head -1 "$work/prog/current_version.txt")" ] || fail "version: $out"

# A caller that connects and never writes does not stop the next one from being answered.
sock=$(ls "$XDG_RUNTIME_DIR"/rx40panel-*.sock)
[ "$(stat -c %a "$sock")" = 600 ] || fail "the socket is $(stat -c %a "$sock"), not 600"
# It writes "dropped" when the panel gives up on it: the next answer must come before that.
python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.connect(sys.argv[1]); print("connected", flush=True)
s.recv(64); print("dropped", flush=True); time.sleep(5)' "$sock" >"$work/silent.out" &
silent=$!
for _ in $(seq 50); do grep -q connected "$work/silent.out" && break; sleep 0.1; done
run 0 --status
grep -q dropped "$work/silent.out" && fail "the answer waited for the silent caller to be dropped"
for _ in $(seq 50); do grep -q dropped "$work/silent.out" && break; sleep 0.1; done
grep -q dropped "$work/silent.out" || fail "the silent caller was never dropped"
kill $silent 2>/dev/null

# Another user (not root) does not reach this user's panel.
if [ "$(id -u)" = 0 ]; then
    chmod 711 "$work"
    setpriv --reuid=65534 --regid=65534 --clear-groups env HOME=/nonexistent "$P" --status >"$work/out" 2>&1
    status=$?
    [ $status = 3 ] || fail "another user got status $status: $(cat "$work/out")"
fi

# No device: 4 for what needs one; the status says so.
devsim disconnect
sleep 0.5
run 4 --mode 2
run 4 --set volume1=1
run 0 --status
[ "$out" = "not connected" ] || fail "status without a device: $out"

# No panel: 3.
kill $panel
wait $panel 2>/dev/null
run 3 --status

# The battery in the tray: a wireless unit, a notification service on a private session bus.
start_again() {
    RX40_DEVSIM_MODEL=LN7 "$work/prog/rx40panel" >"$work/panel.out" 2>&1 &
    panel=$!
    for _ in $(seq 100); do grep -q "tray tooltip: .*5/6" "$work/panel.out" 2>/dev/null && break; sleep 0.1; done
    grep -qx "tray tooltip: Tavri控制面板 - 电量 5/6" "$work/panel.out" || fail "no battery tooltip: $(cat "$work/panel.out")"
}
tooltips() { grep -c "^tray tooltip: " "$work/panel.out"; }
battery() { devsim battery "$1" && sleep 0.6; }
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | sed -n '1s/^/DBUS_SESSION_BUS_ADDRESS=/p;2s/^/bus=/p')"
export DBUS_SESSION_BUS_ADDRESS
trap 'kill $panel $xvfb $bus $notifier_pid 2>/dev/null; rm -rf "$work"' EXIT
"$notifier" "$work/notices" >"$work/notifier.out" 2>&1 &
notifier_pid=$!
for _ in $(seq 50); do grep -q ready "$work/notifier.out" && break; sleep 0.1; done
start_again
run 0 --status
[[ "$out" == "LN7 connected, battery 5/6, "* ]] || fail "status of a wireless unit: $out"
battery 150 # 3.50 V: level 1
grep -qx "tray tooltip: Tavri控制面板 - 电量 1/6" "$work/panel.out" || fail "tooltip at level 1: $(tail -3 "$work/panel.out")"
for _ in $(seq 30); do [ -s "$work/notices" ] && break; sleep 0.1; done
[ "$(cat "$work/notices")" = "Tavri控制面板|Tavri控制面板|电量低，请充电" ] || fail "notices: $(cat "$work/notices")"
battery 155
battery 150
sleep 4.5 # the device's own periodic report at level 1
[ "$(wc -l <"$work/notices")" = 1 ] || fail "the low battery notice came again: $(cat "$work/notices")"
battery 190
battery 150
sleep 0.5
[ "$(wc -l <"$work/notices")" = 2 ] || fail "no new notice after the level had been above 1: $(cat "$work/notices")"
devsim disconnect
sleep 0.5
[ "$(grep "^tray tooltip: " "$work/panel.out" | tail -1)" = "tray tooltip: Tavri控制面板" ] ||
    fail "the tooltip kept the battery after the unit was lost"
kill $panel
wait $panel 2>/dev/null

# No notification service, and no session bus at all: nothing, and no error.
kill $notifier_pid 2>/dev/null
for address in "$DBUS_SESSION_BUS_ADDRESS" ""; do
    if [ -n "$address" ]; then export DBUS_SESSION_BUS_ADDRESS=$address; else unset DBUS_SESSION_BUS_ADDRESS; fi
    start_again
    battery 150
    grep -q "tray notification: 电量低，请充电" "$work/panel.out" || fail "no notice at level 1"
    kill -0 $panel || fail "the panel ended without a notification service"
    grep -iE "dbus|error" "$work/panel.out" && fail "the panel complained without a notification service"
    kill $panel
    wait $panel 2>/dev/null
done
echo PASS
