#!/bin/bash
# The real panel under Xvfb with the real keyboard hook and player library: a hotkey pressed
# while another window has the focus plays its sound, the off switch silences hotkeys but not
# pads, and a hotkey set from a pad's menu works after a restart.
. "$(dirname "$0")/e2e_lib.sh"
e2e_prepare "$1"
prog=$work/prog
printf '[sset]\r\ntexiaofast=1\r\n' >"$prog/setting/set.ini"
# "ding" (4.jklamA) on keypad 1
printf '<?xml version="1.0" encoding="UTF - 8"?><hotkey><item file="4.jklamA"  key="6356992" /></hotkey>' \
    >"$prog/setting/hotkey.xml"
export RX40_PLAYER_LOG=$work/player.log RX40_PLAYER_OUTPUT=wav:$work/out.wav
e2e_start
xmessage -name focuswin "another program" &
other=$!
trap 'kill $other $panel $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 30); do xdotool search --name focuswin >/dev/null 2>&1 && break; sleep 0.1; done
focus_other() { xdotool search --name focuswin windowfocus; sleep 0.2; }
played() { printf 'Stop\nLoad %s\nSetVolume %s\nPlay\n' "$prog/sound/$1.mp3" "$2"; }
settle() { sleep 0.6; }

focus_other
: >"$RX40_PLAYER_LOG"
xdotool key KP_1
settle
[ "$(cat "$RX40_PLAYER_LOG")" = "$(played ding -3800)" ] || fail "keypad 1 did not play ding: $(cat "$RX40_PLAYER_LOG")"

# The wide window shows the sound board.
click_at 851 -17
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --name Tavri | head -1)")"
[ "$WIDTH" = 1390 ] || fail "the window did not widen: $WIDTH"
cx=$((X + 1)) cy=$((Y + 34 + 1))
board_x=1008 pad_x=$((1008 + 12 + 15)) pad_y=$((148 + 20))
[ -n "${E2E_SHOTS:-}" ] && import -window root -crop "1392x636+$X+$Y" "$E2E_SHOTS/soundboard.png"

click_at $((board_x + 140 + 22)) $((22 + 14)) # the off switch
[ "$(sed -n 's/^texiaofast=//p' "$prog/setting/set.ini" | tr -d '\r')" = 0 ] || fail "texiaofast not 0"
focus_other
: >"$RX40_PLAYER_LOG"
xdotool key KP_1
settle
[ ! -s "$RX40_PLAYER_LOG" ] || fail "a hotkey played while off: $(cat "$RX40_PLAYER_LOG")"
click_at $((pad_x + 35)) $((pad_y + 8)) # the first pad's name button
settle
grep -q '^Play$' "$RX40_PLAYER_LOG" || fail "a pad click did not play while hotkeys are off"
first=$(sed -n 's|^Load .*/sound/\(.*\)\.mp3$|\1|p' "$RX40_PLAYER_LOG" | head -1)
[ -n "$first" ] || fail "no sound loaded by the pad: $(cat "$RX40_PLAYER_LOG")"

# Keypad 2 for the first pad from its menu, hotkeys on again, then a restart.
click_at $((pad_x + 71 + 10)) $((pad_y + 17 + 8))
sleep 0.8
xdotool key Down Down Down Return
sleep 0.4
grep -q 'key="6422528"' "$prog/setting/hotkey.xml" || fail "keypad 2 not in the hotkey file: $(cat "$prog/setting/hotkey.xml")"
click_at $((board_x + 90 + 22)) $((22 + 14)) # the on switch
[ "$(sed -n 's/^texiaofast=//p' "$prog/setting/set.ini" | tr -d '\r')" = 1 ] || fail "texiaofast not 1"

# From here the player picks its own output, as on a user's machine (here: none, so silence).
kill -TERM "$panel"
wait "$panel" 2>/dev/null
unset RX40_PLAYER_OUTPUT
"$prog/rx40panel" >"$work/panel2.out" 2>&1 &
panel=$!
for _ in $(seq 100); do grep -q "handleMessage\[3\]" "$work/panel2.out" 2>/dev/null && break; sleep 0.1; done
focus_other
: >"$RX40_PLAYER_LOG"
xdotool key KP_2
settle
[ "$(cat "$RX40_PLAYER_LOG")" = "$(played "$first" -3800)" ] || fail "keypad 2 after a restart: $(cat "$RX40_PLAYER_LOG")"
for _ in 1 2 3; do
    xdotool key KP_2
    sleep 1.5 # past the second after which the player gives its output back
done
kill -0 "$panel" 2>/dev/null || fail "the panel died playing with the default output: $(tail -5 "$work/panel2.out")"
[ "$(grep -c '^Play$' "$RX40_PLAYER_LOG")" = 4 ] || fail "expected four plays: $(cat "$RX40_PLAYER_LOG")"
echo "PASS"
