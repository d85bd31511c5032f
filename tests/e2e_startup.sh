#!/bin/bash
# Start-up where the other tests never are: without an X display, a second start by a user who
# is not root while another user's lock file lies in the machine-wide temporary folder, and the
# locale prompt of a system that is not Chinese while the device is unplugged and plugged in.
. "$(dirname "$0")/e2e_lib.sh"
e2e_prepare "$1"
prog=$work/prog
unset RX40_PLAYER_OUTPUT
export LANG=zh_CN.UTF-8 RX40_DEVSIM_SOCKET=$work/run/dev.sock

# No display: one line that says what is missing, status 1.
free_display() { local n; for n in $(seq 150 199); do [ -e /tmp/.X$n-lock ] || { echo ":$n"; return; }; done; }
for display in "" "$(free_display)"; do
    if [ -z "$display" ]; then
        env -u DISPLAY timeout 20 "$prog/rx40panel" >"$work/nodisplay.out" 2>"$work/nodisplay.err"
    else
        DISPLAY=$display timeout 20 "$prog/rx40panel" >"$work/nodisplay.out" 2>"$work/nodisplay.err"
    fi
    status=$?
    [ $status = 1 ] || fail "without the display '$display': status $status, $(cat "$work/nodisplay.err")"
    [ "$(wc -l <"$work/nodisplay.err")" = 1 ] && grep -q "X display" "$work/nodisplay.err" ||
        fail "without the display '$display', not one clear line: $(cat "$work/nodisplay.err")"
done

# A user who is not root; as root, "nobody", with another user's (root's) framework lock present.
run_as=()
if [ "$(id -u)" = 0 ]; then
    run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 755 "$work"
    lock="/var/tmp/juceAppLock_Tavri控制面板"
    made_lock=""
    [ -e "$lock" ] || { : >"$lock" && chmod 644 "$lock" && made_lock=$lock; }
    trap 'kill $panel $xvfb 2>/dev/null; [ -n "$made_lock" ] && rm -f "$made_lock"; rm -rf "$work"' EXIT
fi
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
[ "$(id -u)" = 0 ] && chown -R 65534:65534 "$prog" "$work/home" "$work/run"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
display=$(free_display)
# No server reset when the last client leaves: a copy started during a reset may find no display.
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

start_panel() { # OUTPUT: starts a copy in the background as the test user
    "${run_as[@]}" "$prog/rx40panel" >"$1" 2>&1 &
    panel=$!
    for _ in $(seq 300); do grep -q "handleMessage\[3\]" "$1" 2>/dev/null && break; sleep 0.1; done
    grep -q "handleMessage\[3\]" "$1" || fail "the panel never got the device's record: $(cat "$1")"
}
second_start() { # a start that must end at once, leaving the one window
    timeout 20 "${run_as[@]}" "$prog/rx40panel" >"$work/second.out" 2>&1
    local status=$?
    [ $status = 0 ] || fail "a second start failed or hung (status $status): $(cat "$work/second.out")"
    grep -q "handleMessage" "$work/second.out" && fail "a second start ran a device link of its own"
    sleep 0.5
    [ "$(xdotool search --onlyvisible --name Tavri | wc -l)" = 1 ] || fail "not one window after a second start"
    kill -0 $panel 2>/dev/null || fail "the running copy has gone"
}

start_panel "$work/first.out"
second_start
second_start # the running copy still listens: the second start took nothing away

# A copy that died without cleaning up leaves its socket: the next start runs.
kill -KILL $panel
wait $panel 2>/dev/null
sleep 0.5
start_panel "$work/after_crash.out"
second_start
kill -TERM $panel
wait $panel
status=$?
[ $status = 0 ] || fail "exit status $status"

# A system that is not Chinese gets the locale prompt after the device's information; unplugging
# and plugging in again while it is open shows the next prompt only after this one is closed.
prompts() { xdotool search --onlyvisible --name '^提示$' 2>/dev/null | wc -l; }
LANG=en_US.UTF-8 "${run_as[@]}" "$prog/rx40panel" >"$work/prompt.out" 2>&1 &
panel=$!
for _ in $(seq 100); do [ "$(prompts)" = 1 ] && break; sleep 0.1; done
[ "$(prompts)" = 1 ] || fail "no locale prompt on an English system (X server $(kill -0 $xvfb 2>/dev/null && echo running || echo gone)): $(cat "$work/prompt.out")"
"$prog/rx40-devsim" disconnect && "$prog/rx40-devsim" connect KQ3 || fail "devsim"
sleep 1.5
[ "$(prompts)" = 1 ] || fail "$(prompts) prompts open at once"
grep -q 'handleMessage\[1\]' "$work/prompt.out" && fail "the unplug was handled inside the open prompt"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/locale_prompt.png"
answer_prompt() { xdotool search --onlyvisible --name '^提示$' | head -1 | xargs -r -I{} xdotool windowfocus {} key Escape; }
answer_prompt
for _ in $(seq 50); do grep -q 'handleMessage\[1\]' "$work/prompt.out" && break; sleep 0.1; done
grep -q 'handleMessage\[1\]' "$work/prompt.out" || fail "the unplug was never handled after the prompt"
for _ in $(seq 50); do [ "$(prompts)" = 1 ] && break; sleep 0.1; done
[ "$(prompts)" = 1 ] || fail "no second prompt after the device came back"
answer_prompt
sleep 0.5
[ "$(prompts)" = 0 ] || fail "a prompt is still open"
kill -TERM $panel
wait $panel
echo "PASS"
