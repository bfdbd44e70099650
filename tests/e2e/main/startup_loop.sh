#!/usr/bin/env bash
# Starts kestrune again and again, two at a time, on one X display: every
# start must show its main window. A start-up fault of the program itself
# (a race, a crash before the window) shows up here. The display must run
# with -noreset, or a start that meets the server's reset aborts.
set -u
program="$1"
rounds="${2:-15}"
root="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do
        kill -9 -- -"$p" 2>/dev/null
    done
    rm -rf "$root"
}
trap cleanup EXIT
. "$(dirname "$0")/e2elib.sh"
e2e_private_home
e2e_settings AutoStart=0 ConfirmExit=0
[ -n "${DISPLAY:-}" ] || { echo "no X display" >&2; exit 1; }

for round in $(seq 1 "$rounds"); do
    pids=()
    for slot in 1 2; do
        setsid "$program" >"$root/out$slot.log" 2>&1 &
        pids+=($!)
    done
    for slot in 1 2; do
        p="${pids[$((slot - 1))]}"
        if [ -z "$(e2e_main_window "$p")" ]; then
            kill -0 "$p" 2>/dev/null && state="still running" || { wait "$p"; state="exit status $?"; }
            echo "round $round, start $slot: the main window did not appear ($state)" >&2
            cat "$root/out$slot.log" >&2
            exit 1
        fi
    done
    for p in "${pids[@]}"; do
        kill -- -"$p" 2>/dev/null
        wait "$p" 2>/dev/null
    done
done
pids=()
echo "ok: $((rounds * 2)) starts"
