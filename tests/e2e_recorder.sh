#!/bin/bash
# The real panel under Xvfb on a JACK server with the dummy backend: record, pause, resume and
# stop; both files hold every frame the recorder received while not paused; export to MP3 and
# FLAC through the save dialog; a missing encoder library fails with no output file.
#   e2e_recorder.sh DIST AUDIO_FRAMES_EXE
. "$(dirname "$0")/e2e_lib.sh"
frames_exe=$2
e2e_prepare "$1"
prog=$work/prog
command -v jackd >/dev/null || fail "jackd is not installed"
export JACK_NO_AUDIO_RESERVATION=1 JACK_DEFAULT_SERVER=rx40e2e
jackd --no-realtime -d dummy -r 48000 -p 512 -C 2 -P 2 >"$work/jack.out" 2>&1 &
jack=$!
trap 'kill $panel $xvfb $jack 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
e2e_start
record=$(echo $((186 + 80 + 41)) $((328 + 180 + 13)))
pause=$(echo $((186 + 200 + 41)) $((328 + 180 + 13)))
save=$(echo $((186 + 440 + 41)) $((328 + 180 + 13)))
click_at 95 337 # navigation: the recorder
# Leftovers in "wav" are cleared by a new take.
mkdir -p "$prog/wav/old"
touch "$prog/wav/old/x.wav" "$prog/wav/data1.wav"
click_at $record
# Something to hear: a metronome into the panel's inputs, so the waveform and files hold sound.
jack_metro -b 300 >/dev/null 2>&1 &
metro=$!
trap 'kill $metro $panel $xvfb $jack 2>/dev/null; rm -rf "$work"' EXIT
sleep 0.5
for port in $(jack_lsp 2>/dev/null | grep -v '^system:\|^metro:' | grep -i 'in'); do
    jack_connect metro:300_bpm "$port" 2>/dev/null
done
sleep 5
click_at $pause
sleep 1
click_at $pause
sleep 1
[ -n "${E2E_SHOTS:-}" ] && import -window root -crop "1010x636+$X+$Y" "$E2E_SHOTS/recording.png"
click_at $record
sleep 1
line=$(grep '^take frames' "$work/panel.out" | tail -1)
[ -n "$line" ] || fail "no take was stopped"
taken=$(echo "$line" | awk '{print $3}') lost=$(echo "$line" | awk '{print $5}')
[ "$lost" = 0 ] || fail "frames were lost: $line"
[ "$(find "$prog/wav" -type f | wc -l)" = 2 ] || fail "wav holds more than the take: $(find "$prog/wav")"
wav=$(ls "$prog"/wav/data*.wav) flac=$(ls "$prog"/wav/data*.flac)
read -r wav_frames flac_frames <<<"$("$frames_exe" "$wav" "$flac" | tr '\n' ' ')"
[ "$wav_frames" = "$taken" ] && [ "$flac_frames" = "$taken" ] ||
    fail "frames: callback $taken, wav $wav_frames, flac $flac_frames"
# About 6 s of recording, 1 s of it paused.
[ "$taken" -gt $((48000 * 5)) ] && [ "$taken" -lt $((48000 * 11)) ] || fail "unexpected take length $taken"
xdotool mousemove 5 5
sleep 0.3
[ -n "${E2E_SHOTS:-}" ] && import -window root -crop "1010x636+$X+$Y" "$E2E_SHOTS/recorded.png"
click_at $((186 + 320 + 41)) $((328 + 180 + 13)) # play: the marker runs over the take
sleep 1.5
[ -n "${E2E_SHOTS:-}" ] && import -window root -crop "1010x636+$X+$Y" "$E2E_SHOTS/playing.png"
click_at $((186 + 320 + 41)) $((328 + 180 + 13)) # and stops

chooser_open() { [ -n "$(xdotool search --onlyvisible --name '^请输入要保存' 2>/dev/null)" ]; }
save_as() { # PATH: through the save dialog, then close the outcome box
    click_at $save
    sleep 1
    chooser_open || fail "Save opened no file chooser"
    [ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/save_dialog.png"
    click_at 528 453 # the dialog's file name box
    xdotool key ctrl+a
    xdotool type --delay 5 "$1"
    sleep 0.3
    click_at 752 491 # the dialog's Save button
    sleep 1.5
    tip=$(xdotool search --onlyvisible --name '^(消息|错误)$' 2>/dev/null | head -1)
    [ -n "$tip" ] && xdotool key Return && sleep 0.3
}
save_as "$work/take.flac"
cmp -s "$flac" "$work/take.flac" || fail "the FLAC export differs from the take: $(ls -la "$work" "$work/home")"
save_as "$work/song"
[ -s "$work/song.mp3" ] || fail "no MP3 written"
decoded=$(mpg123 -q -w "$work/song.wav" "$work/song.mp3" 2>/dev/null && "$frames_exe" "$work/song.wav")
[ $((decoded - taken)) -le 1152 ] && [ $((taken - decoded)) -le 1152 ] || fail "MP3 holds $decoded frames, the take $taken"
log=$prog/log.log
[ "$(head -c 53 "$log")" = "=====================================================" ] || fail "log: $(cat "$log")"
grep -q "^load mp3.dll fail?lasterror:00000000" "$log" && grep -q "^loadlibrary return:" "$log" &&
    grep -q "^mp3,convert fail?,detect config return value:0,time is:" "$log" && grep -q "^infile:" "$log" &&
    grep -q "^outfile:" "$log" || fail "log lines: $(cat "$log")"
rm "$prog/mp3.so"
save_as "$work/broken.mp3"
[ ! -e "$work/broken.mp3" ] || fail "a failed MP3 export left its file"
[ -n "$tip" ] || fail "no failure box"

# Take files that cannot be made (the "wav" folder is a file now): the take is refused, said so.
rm -rf "$prog/wav"
touch "$prog/wav"
click_at $record
sleep 1
[ -n "$(xdotool search --onlyvisible --name '^提示$' 2>/dev/null)" ] || fail "no message for a take that cannot start"
xdotool key Return
sleep 0.5
click_at $record # idle again: this starts (and is refused) once more rather than stopping
sleep 1
[ -n "$(xdotool search --onlyvisible --name '^提示$' 2>/dev/null)" ] || fail "the refused take left a take running"
xdotool key Return
# The last take's files went with the refused take: Save is off and opens nothing.
sleep 0.5
click_at $save
sleep 1
chooser_open && fail "Save still works after a refused take"
echo "PASS"
