#!/bin/bash
# The real panel under Xvfb with the virtual device: device-side changes show on the mode
# buttons, a click sends exactly one record, and quitting leaves the two shutdown records.
. "$(dirname "$0")/e2e_lib.sh"
e2e_prepare "$1"

# Plain colour images for the mode buttons: 1 disabled red, 2 normal grey, 3 over blue, 4 on green.
for m in Preset game Broadcast Conference sing Custom; do
    d="$work/prog/ui/kqcn/mode/$m"
    mkdir -p "$d"
    convert -size 262x94 xc:'#ff0000' "$d/1.png"
    convert -size 262x94 xc:'#404040' "$d/2.png"
    convert -size 262x94 xc:'#0000ff' "$d/3.png"
    convert -size 262x94 xc:'#00ff00' "$d/4.png"
done
e2e_start

button_centre() { # mode index -> screen x y
    local i=$1
    echo $((cx + 186 + 3 + (i % 3) * 270 + 131)) $((cy + 328 + 17 + (i / 3) * 105 + 47))
}
on_buttons() {
    local s="" i
    for i in 0 1 2 3 4 5; do
        [ "$(pixel $(button_centre $i))" = "#00FF00" ] && s="$s$i"
    done
    echo "$s"
}

xdotool mousemove 5 5
sleep 0.3
[ "$(on_buttons)" = "0" ] || fail "expected mode 0 on at start, got '$(on_buttons)'"
devsim set mode=2 || fail "devsim set"
sleep 0.5
[ "$(on_buttons)" = "2" ] || fail "mode buttons did not follow the device: '$(on_buttons)'"

devsim log --clear >/dev/null
before=$(devsim record)
xdotool mousemove $(button_centre 4) click 1
sleep 0.5
log=$(devsim log)
[ "$(echo "$log" | grep -c '^SendUIPara ')" = 1 ] || fail "expected one SendUIPara, got: $log"
sent=$(echo "$log" | sed -n 's/^SendUIPara //p')
[ "${sent:0:2}" = "04" ] || fail "byte 0 is not the new mode: $sent"
[ "${sent:2}" = "${before:2}" ] || fail "other bytes changed: $sent vs $before"
[ "$(on_buttons)" = "4" ] || fail "button 4 not shown on"

# The button that is on: nothing sent, every button off.
xdotool click 1
sleep 0.5
[ "$(devsim log | grep -c '^SendUIPara ')" = 1 ] || fail "a click on the active mode sent something"
xdotool mousemove 5 5
sleep 0.3
[ -z "$(on_buttons)" ] || fail "buttons not all off: '$(on_buttons)'"

# The close button only hides the window; a second start shows it again and ends.
xdotool mousemove $((cx + 1008 - 37 + 15)) $((Y + 17)) click 1
sleep 0.5
xdotool search --onlyvisible --name Tavri >/dev/null && fail "the close button did not hide the window"
timeout 10 "$work/prog/rx40panel" >"$work/second.out" 2>&1
second=$?
[ $second = 0 ] || fail "the second start failed or hung (status $second): $(cat "$work/second.out")"
sleep 0.5
[ "$(xdotool search --onlyvisible --name Tavri | wc -l)" = 1 ] ||
    fail "the second start (status $second) did not show the one window: $(cat "$work/second.out")"
kill -0 $panel || fail "the first copy has gone"

: >"$RX40_DEVSIM_LOG"
kill -TERM $panel
for _ in $(seq 100); do kill -0 $panel 2>/dev/null || break; sleep 0.1; done
kill -0 $panel 2>/dev/null && fail "the panel did not quit on SIGTERM"
wait $panel
status=$?
[ $status = 0 ] || fail "exit status $status"
records=$(sed -n 's/^SendUIPara //p' "$RX40_DEVSIM_LOG")
[ "$(echo "$records" | wc -l)" = 2 ] || fail "expected two shutdown records: $records"
[ "$(echo "$records" | head -1 | cut -c23-24)" = "00" ] || fail "first shutdown record not hardMode 0: $records"
[ "$(echo "$records" | tail -1 | cut -c23-24)" = "01" ] || fail "second shutdown record not hardMode 1: $records"
echo "PASS"
