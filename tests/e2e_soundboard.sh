#!/bin/bash
# The real panel under Xvfb with the real keyboard hook and player library: a hotkey pressed
# while another window has the focus plays its sound, the off switch silences hotkeys but not
# pads, "Custom..." stores the key pressed and the hook fires on exactly that key (also while
# another program grabs the keyboard), and a hotkey set from a pad's menu works after a restart.
#   e2e_soundboard.sh DIST KEY_GRABBER_EXE
. "$(dirname "$0")/e2e_lib.sh"
grabber_exe=$2
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

# Hotkeys on again.
click_at $((board_x + 90 + 22)) $((22 + 14)) # the on switch
[ "$(sed -n 's/^texiaofast=//p' "$prog/setting/set.ini" | tr -d '\r')" = 1 ] || fail "texiaofast not 1"

# "Custom..." on the second pad with real key presses: the dialog stores the key's own code and
# the hook fires on that key, from another window, and on no other.
pad2_x=$((pad_x + 107))
click_at $((pad2_x + 35)) $((pad_y + 8))
settle
second=$(sed -n 's|^Load .*/sound/\(.*\)\.mp3$|\1|p' "$RX40_PLAYER_LOG" | tail -1)
[ -n "$second" ] || fail "the second pad played nothing"
dialog() { xdotool search --onlyvisible --name '^设置快捷键$' 2>/dev/null | head -1; }
capture() { # CODE KEY...: "Custom..." for the second pad, the KEYs pressed, Confirm
    local code=$1 win
    shift
    click_at $((pad2_x + 71 + 10)) $((pad_y + 17 + 8))
    sleep 0.5
    xdotool key Up Return # the last item: "Custom..."
    for _ in $(seq 30); do win=$(dialog) && [ -n "$win" ] && break; sleep 0.1; done
    [ -n "$win" ] || fail "no capture dialog for $*"
    xdotool windowfocus "$win"
    sleep 0.2
    xdotool key "$@"
    sleep 0.3
    [ -n "${E2E_SHOTS:-}" ] && [ "$1" = ctrl+alt+q ] && import -window root "$E2E_SHOTS/capture_dialog.png"
    eval "$(xdotool getwindowgeometry --shell "$win")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 20)) click 1 # Confirm
    sleep 0.5
    [ -z "$(dialog)" ] || fail "the capture dialog stayed open for $*"
    grep -q "key=\"$((code))\"" "$prog/setting/hotkey.xml" ||
        fail "$* stored as $(grep -o 'key="[0-9]*"' "$prog/setting/hotkey.xml" | tr '\n' ' '), not $((code))"
}
fires() { # yes|no KEY...: pressed while another window has the focus
    local want=$1
    shift
    focus_other
    : >"$RX40_PLAYER_LOG"
    xdotool key "$@"
    settle
    if [ "$want" = yes ]; then
        [ "$(cat "$RX40_PLAYER_LOG")" = "$(played "$second" -3800)" ] || fail "$* did not play: $(cat "$RX40_PLAYER_LOG")"
    else
        [ ! -s "$RX40_PLAYER_LOG" ] || fail "$* played: $(cat "$RX40_PLAYER_LOG")"
    fi
}
numlockx on
for d in 0 1 2 3 4 5 6 7 8 9; do
    capture $((0x00600000 + (d << 16))) KP_$d
    [ $d = 0 ] || [ $d = 9 ] && fires yes KP_$d
done
capture 0x00310004 shift+1
fires yes shift+1
fires no shift+Prior # the code the framework's "!" would have stored
fires no 1
capture 0x00410006 ctrl+shift+a
fires yes ctrl+shift+a
capture 0x00700000 F1
fires yes F1
capture 0x00790000 F10
fires no F10 # it opens a menu bar on Windows: a system key as well
capture 0x00510003 ctrl+alt+q
fires yes ctrl+alt+q
capture 0x00510001 alt+q
fires no alt+q # a system key on Windows: stored, never fires
numlockx off
capture 0x00230000 KP_End # keypad 1 without Num Lock is End
fires yes KP_End
numlockx on
fires no KP_1
# Another program holds the keyboard grabbed: hotkeys still play.
capture 0x00610000 KP_1
"$grabber_exe" >"$work/grab.out" 2>&1 &
grabber=$!
for _ in $(seq 50); do grep -q grabbed "$work/grab.out" && break; sleep 0.1; done
grep -q grabbed "$work/grab.out" || fail "the helper could not grab the keyboard"
: >"$RX40_PLAYER_LOG"
xdotool key KP_1
settle
kill $grabber
[ "$(cat "$RX40_PLAYER_LOG")" = "$(played "$second" -3800)" ] || fail "no sound while the keyboard was grabbed: $(cat "$RX40_PLAYER_LOG")"

# Keypad 2 for the first pad from its menu, then a restart.
click_at $((pad_x + 71 + 10)) $((pad_y + 17 + 8))
sleep 0.8
xdotool key Down Down Down Return
sleep 0.4
grep -q 'key="6422528"' "$prog/setting/hotkey.xml" || fail "keypad 2 not in the hotkey file: $(cat "$prog/setting/hotkey.xml")"

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
