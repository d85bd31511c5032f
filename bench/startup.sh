#!/bin/bash
# Prints the time from process start to the main window being mapped and to the first device
# record handled (event 3), with the virtual device connecting at once (RX40_DEVSIM_DELAY_MS=0).
# Usage: bench/startup.sh [build/dist] [runs]
set -u
dist=${1:-$(dirname "$0")/../build/dist}
runs=${2:-5}
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for n in $(seq 150 190); do [ -e /tmp/.X$n-lock ] || { display=:$n; break; }; done
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display HOME=$work XDG_RUNTIME_DIR=$work RX40_DEVSIM_SOCKET=$work/dev.sock RX40_DEVSIM_DELAY_MS=0
export LANG=zh_CN.UTF-8 # no locale prompt over the pages
unset LC_ALL LC_MESSAGES
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
now_us() { echo $(($(date +%s%N) / 1000)); }
for run in $(seq "$runs"); do
    start=$(now_us)
    "$dist/rx40panel" >"$work/out" 2>&1 &
    pid=$!
    shown="" record=""
    for _ in $(seq 4000); do
        [ -z "$shown" ] && xdotool search --onlyvisible --name Tavri >/dev/null 2>&1 && shown=$(now_us)
        [ -z "$record" ] && grep -q 'handleMessage\[3\]' "$work/out" && record=$(now_us)
        [ -n "$shown" ] && [ -n "$record" ] && break
        sleep 0.002
    done
    awk -v r="$run" -v s="$start" -v w="${shown:-0}" -v d="${record:-0}" \
        'BEGIN { printf "run %d: window shown %6.1f ms, first record handled %6.1f ms\n", r, (w - s) / 1000, (d - s) / 1000 }'
    kill -TERM $pid
    wait $pid 2>/dev/null
done
echo "(times include the polling of xdotool and the log, a few ms)"
