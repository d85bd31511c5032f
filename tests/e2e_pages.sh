#!/bin/bash
# The real panel under Xvfb: clicks at the controls' places reach the virtual device, and a
# device-side change redraws the page.
. "$(dirname "$0")/e2e_lib.sh"
e2e_prepare "$1"
e2e_start
devsim log --clear >/dev/null

click_at 257 184 # top of volume slider 1
[ "$(last_sent_byte 3)" = 8 ] || fail "volume 1 not sent as 8: $(devsim log)"
click_at 953 151 # ducking switch, off at start
[ "$(last_sent_byte 7)" = 1 ] || fail "ducking did not start at level 1: $(devsim log)"
click_at 313 34 # left switch, on at start
[ "$(last_sent_byte 13)" = 0 ] || fail "left switch not turned off: $(devsim log)"

click_at 95 433 # navigation: EQ page
preset() { echo $((186 + 50 + ($1 % 4) * 84 + 41)) $((328 + 70 + ($1 / 4) * 43 + 13)); }
click_at $(preset 5)
[ "$(last_sent_byte 21)" = 5 ] || fail "EQ preset 5 not sent: $(devsim log)"
[ "$(devsim log | grep -c '^SendUIPara ')" = 4 ] || fail "expected one record per click: $(devsim log)"

xdotool mousemove 5 5
sleep 0.3
on=$(pixel $(at $(preset 5)))
off=$(pixel $(at $(preset 2)))
[ "$on" != "$off" ] || fail "selected and unselected presets look alike"
devsim set eqPreset=2 >/dev/null || fail "devsim set"
sleep 0.5
[ "$(pixel $(at $(preset 2)))" = "$on" ] || fail "the device's preset 2 is not shown selected"
[ "$(pixel $(at $(preset 5)))" = "$off" ] || fail "preset 5 still shown selected"
echo "PASS"
