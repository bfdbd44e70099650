#!/usr/bin/env bash
# The command history survives a killed program: statements typed, kestrune
# killed (SIGKILL), started again; the stored list still holds them and the
# command window recalls them (the recalled statement runs in the new
# interpreter and its value reaches a file).
set -u
program="$1"
root="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill -KILL -- -$pid 2>/dev/null; rm -rf "$root"' EXIT
. "$(dirname "$0")/e2elib.sh"
e2e_private_home
e2e_main_settings
if [ -z "${DISPLAY:-}" ]; then
    echo "no X display" >&2
    exit 1
fi

# Starts kestrune in its own process group and waits for its first prompt.
start() {
    setsid "$program" >>"$root/out.log" 2>&1 &
    pid=$!
    window="$(e2e_main_window "$pid")"
    if [ -z "$window" ]; then
        echo "the main window did not appear" >&2
        cat "$root/out.log" >&2
        exit 1
    fi
    sleep 4
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.5
}

run() {
    xdotool type --delay 20 "$1"
    xdotool key Return
    sleep 0.5
}

stored() {
    cat "$(find "$XDG_DATA_HOME" -name userpaths.dat | head -1)" 2>/dev/null
}

start
run "hist_a = 6"
run "hist_b = 6 * 7"
for _ in $(seq 1 50); do
    stored | grep -q 'hist_b = 6 \* 7' && break
    sleep 0.2
done
kill -KILL -- -"$pid"
wait "$pid" 2>/dev/null

start
before="$(stored)"
# What was typed before the kill, recalled by its prefix and run again.
xdotool type --delay 20 "hist_b"
xdotool key Up Return
sleep 1
run "fid = fopen('recalled.txt', 'w'); fprintf(fid, '%d', hist_b); fclose(fid);"
for _ in $(seq 1 50); do
    [ -s "$root/work/recalled.txt" ] && break
    sleep 0.2
done
[ -n "${SHOT:-}" ] && import -window root "$SHOT"
status=0
if ! echo "$before" | grep -q 'hist_a = 6|;|hist_b = 6 \* 7|;|%-- '; then
    echo "the stored history lost the statements or the new session: $before" >&2
    status=1
fi
if [ "$(cat "$root/work/recalled.txt" 2>/dev/null)" != "42" ]; then
    echo "the recalled statement did not run" >&2
    cat "$root/out.log" >&2
    status=1
fi
exit $status
