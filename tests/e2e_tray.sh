#!/bin/bash
# The real panel under Xvfb with a real notification area (trayer): the icon docks, a left
# click shows the hidden window, the menu's first item writes the version report with the
# virtual device's information, and its third item quits with the two shutdown records.
. "$(dirname "$0")/e2e_lib.sh"
e2e_prepare "$1"
command -v trayer >/dev/null || fail "trayer is not installed"
tray=""
start_tray() {
    trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
    tray=$!
}
# The tray must be there before the panel: start the X server through e2e_start's own steps.
e2e_start_hook() {
    mkdir -p "$HOME/Desktop"
    start_tray
    sleep 1
}
e2e_start
trap 'kill $tray $panel $xvfb 2>/dev/null; rm -rf "$work"' EXIT

# The icon: the panel's window docked in the tray's area at the top right.
icon=$(xwininfo -root -tree | grep -v 100x32 | grep -E ' \+15[0-9]{2}\+[0-9]+$' | tail -1)
[ -n "$icon" ] || fail "no icon in the tray: $(xwininfo -root -tree | tail -20)"
ix=$(echo "$icon" | grep -oE '\+[0-9]+\+[0-9]+$' | cut -d+ -f2) iy=$(echo "$icon" | grep -oE '\+[0-9]+\+[0-9]+$' | cut -d+ -f3)
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/tray.png"

# Close hides the window; a left click on the icon brings it back.
click_at 985 -17
[ -z "$(xdotool search --onlyvisible --name Tavri)" ] || fail "the close button did not hide the window"
xdotool mousemove $((ix)) $((iy + 10)) click 1
sleep 0.5
[ -n "$(xdotool search --onlyvisible --name Tavri)" ] || fail "a left click on the icon did not show the window"

# Item 1: the report, with the virtual device's lines.
menu() { xdotool mousemove $((ix)) $((iy + 10)) click 3; sleep 0.5; xdotool key "$@"; sleep 0.8; }
menu Down Return
report=$HOME/Desktop/版本信息.txt
[ -s "$report" ] || fail "no version report"
grep -q "型号:KQ3" "$report" || fail "the report lacks the device model: $(cat "$report")"
xdotool key Return # the confirmation
sleep 0.3

# Item 3: quit, with the two shutdown records.
: >"$RX40_DEVSIM_LOG"
menu Down Down Down Return
for _ in $(seq 100); do kill -0 $panel 2>/dev/null || break; sleep 0.1; done
kill -0 $panel 2>/dev/null && fail "the panel did not quit from the tray menu"
records=$(sed -n 's/^SendUIPara //p' "$RX40_DEVSIM_LOG")
[ "$(echo "$records" | wc -l)" = 2 ] || fail "expected two shutdown records: $records"
echo "PASS"
