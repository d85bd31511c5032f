#!/bin/bash
# Writes PNGs of the main window: each page, connected (KQ3 and LN7) and not connected, in
# Chinese and English. Usage: tools/screenshots.sh [build/dist] [output folder]
# A Windows program folder (build-windows/dist) runs under Wine.
set -u
dist=$(cd "${1:-$(dirname "$0")/../build/dist}" && pwd)
out=${2:-$dist/../screenshots}
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill $panel $xvfb 2>/dev/null; rm -rf "$work"' EXIT
panel="" xvfb=""
for n in $(seq 200 240); do [ -e /tmp/.X$n-lock ] || { display=:$n; break; }; done
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display HOME=$work XDG_RUNTIME_DIR=$work RX40_DEVSIM_SOCKET=$work/dev.sock RX40_DEVSIM_DELAY_MS=0
export LANG=zh_CN.UTF-8 # no locale prompt over the pages
unset LC_ALL LC_MESSAGES
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
cp -r "$dist" "$work/prog"
run=("$work/prog/rx40panel")
if [ -f "$dist/rx40panel.exe" ]; then
    . "$(dirname "$0")/wine_prefix.sh"
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1
    trap 'kill $panel $xvfb 2>/dev/null; wineserver -k; rm -rf "$work"' EXIT
    export LC_ALL=zh_CN.UTF-8 2>/dev/null # Wine's system locale
    run=(wine "$work/prog/rx40panel.exe")
fi
rm -f "$work/prog/setting/"*
pages="quick recorder light eq library info"
for lang in cn en; do
    for model in KQ3 LN7 none; do
        RX40_LANG=$lang RX40_DEVSIM_MODEL=$model "${run[@]}" >/dev/null 2>&1 &
        panel=$!
        win=""
        for _ in $(seq 100); do win=$(xdotool search --onlyvisible --name Tavri 2>/dev/null | head -1); [ -n "$win" ] && break; sleep 0.05; done
        sleep 1
        eval "$(xdotool getwindowgeometry --shell "$win")"
        i=0
        for p in $pages; do
            xdotool mousemove $((X + 1 + 95)) $((Y + 35 + 289 + i * 48)) click 1 mousemove 0 0
            sleep 0.3
            import -window root -crop "1010x636+$X+$Y" "$out/${lang}_${model}_${p}.png"
            i=$((i + 1))
        done
        kill -TERM $panel
        wait $panel 2>/dev/null
        rm -f "$work/prog/setting/"*
    done
done
echo "screenshots in $out"
