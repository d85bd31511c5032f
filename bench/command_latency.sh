#!/bin/bash
# Prints how long a start with arguments takes, from exec to its end: `rx40panel --mode N` (the
# record is sent to the virtual device before the running panel answers, so this bounds the time
# to the device), `rx40panel --status`, and beside them a bare second start that only shows the
# running copy's window.
# Usage: bench/command_latency.sh [build/dist] [runs]
set -u
dist=${1:-$(dirname "$0")/../build/dist}
runs=${2:-30}
work=$(mktemp -d)
trap 'kill $panel $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for n in $(seq 150 190); do [ -e /tmp/.X$n-lock ] || { display=:$n; break; }; done
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display HOME=$work XDG_RUNTIME_DIR=$work RX40_DEVSIM_SOCKET=$work/dev.sock RX40_DEVSIM_DELAY_MS=0
export RX40_DEVSIM_LOG=$work/calls.log LANG=zh_CN.UTF-8
: >"$work/calls.log"
unset LC_ALL LC_MESSAGES
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$dist/rx40panel" >"$work/out" 2>&1 &
panel=$!
for _ in $(seq 300); do grep -q 'handleMessage\[3\]' "$work/out" && break; sleep 0.1; done
sleep 1

now_us() { echo $(($(date +%s%N) / 1000)); }
# LABEL ARGS...: RUNS starts, then the median, the 90th percentile and the slowest in ms.
measure() {
    local label=$1 times=() i start sends
    shift
    for i in $(seq "$runs"); do
        sends=$(grep -c "^SendUIPara " "$work/calls.log" 2>/dev/null)
        start=$(now_us)
        if [ "${1:-}" = --mode ]; then "$dist/rx40panel" --mode $((3 + i % 2)) >/dev/null; else "$dist/rx40panel" "$@" >/dev/null; fi
        times+=($(($(now_us) - start)))
        if [ "${1:-}" = --mode ] && [ "$(grep -c '^SendUIPara ' "$work/calls.log")" != $((sends + 1)) ]; then
            echo "run $i: the record did not reach the device" >&2
        fi
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v l="$label" '{ t[NR] = $1 } END {
        printf "%-28s median %6.1f ms   p90 %6.1f ms   max %6.1f ms   (%d runs)\n", l,
            t[int((NR + 1) / 2)] / 1000, t[int(NR * 0.9 + 0.5)] / 1000, t[NR] / 1000, NR }'
}
measure "rx40panel --mode 3|4" --mode
measure "rx40panel --status" --status
measure "rx40panel (bare second start)"
