#!/bin/bash
# Frames lost in a take with small JACK buffers (-p 64) while another process writes to the
# same disk. Usage: bench/recorder_drops.sh DIST [SECONDS, default 600]
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/e2e_lib.sh"
seconds=${2:-600}
e2e_prepare "$1"
export JACK_NO_AUDIO_RESERVATION=1 JACK_DEFAULT_SERVER=rx40drops
jackd --no-realtime -d dummy -r 48000 -p 64 -C 2 -P 2 >"$work/jack.out" 2>&1 &
jack=$!
writer=""
trap 'kill $writer $panel $xvfb $jack 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
e2e_start
record=$(echo $((186 + 80 + 41)) $((328 + 180 + 13)))
click_at 95 337
click_at $record
# The disk load: 64 MiB files written and synced over and over beside the take.
(while :; do dd if=/dev/zero of="$work/prog/wav/../load.bin" bs=1M count=64 conv=fsync status=none; done) &
writer=$!
sleep "$seconds"
kill $writer
writer=""
click_at $record
sleep 2
line=$(grep '^take frames' "$work/panel.out" | tail -1)
[ -n "$line" ] || fail "no take was stopped: $(tail -5 "$work/panel.out")"
frames=$(echo "$line" | awk '{print $3}') lost=$(echo "$line" | awk '{print $5}')
echo "take of ${seconds} s at -p 64 under disk load: $frames frames recorded, $lost frames lost (the file that lost more)"
