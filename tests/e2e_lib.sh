# Shared by the end-to-end tests: a private copy of the program folder, a virtual X server,
# the real panel with the virtual device, and screen helpers. Source it, then call
# e2e_prepare DIST, adjust "$work/prog" if needed, then e2e_start.
set -u
work=$(mktemp -d)
panel="" xvfb=""
trap 'kill $panel $xvfb 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/panel.out" ] && tail -20 "$work/panel.out"; exit 1; }
devsim() { "$work/prog/rx40-devsim" "$@"; }
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-F]\{6\}'; }
# Screen position of a point given in main-page coordinates.
at() { echo $((cx + $1)) $((cy + $2)); }
click_at() { xdotool mousemove $(at "$1" "$2") click 1; sleep 0.4; }

e2e_prepare() {
    cp -r "$1" "$work/prog"
    rm -f "$work/prog/setting/"* "$work/prog/devsim.sock" # a first start: no settings from earlier runs
}

e2e_start() {
    export HOME=$work/home XDG_RUNTIME_DIR=$work/run RX40_DEVSIM_SOCKET=$work/dev.sock RX40_DEVSIM_LOG=$work/calls.log
    # A Chinese (PRC) system: no locale prompt over the page under test.
    export LANG=zh_CN.UTF-8
    unset LC_ALL LC_MESSAGES
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    local n display=""
    for n in $(seq 90 140); do [ -e /tmp/.X$n-lock ] || { display=:$n; break; }; done
    Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    # What a test needs on the display before the panel starts (a notification area).
    if declare -F e2e_start_hook >/dev/null; then e2e_start_hook; fi

    "$work/prog/rx40panel" >"$work/panel.out" 2>&1 &
    panel=$!
    for _ in $(seq 300); do grep -q "handleMessage\[3\]" "$work/panel.out" 2>/dev/null && break; sleep 0.1; done
    grep -q "handleMessage\[3\]" "$work/panel.out" || fail "the panel never got the device's record"
    local win
    win=$(xdotool search --name "Tavri" | head -1)
    [ -n "$win" ] || fail "no window"
    eval "$(xdotool getwindowgeometry --shell "$win")"
    cx=$((X + 1)) cy=$((Y + 34 + 1)) # content origin: inside the border, below the title bar
    sleep 0.3
}

# The byte at INDEX (0-26) of the last SendUIPara in the device's log, as decimal.
last_sent_byte() {
    local hex
    hex=$(devsim log | sed -n 's/^SendUIPara //p' | tail -1)
    [ -n "$hex" ] || { echo none; return; }
    echo $((16#${hex:$(($1 * 2)):2}))
}
