#!/usr/bin/env bash
# Starts kestrune on the X display, types a statement with xdotool and checks
# that the interpreter wrote the file it names. Optional second argument: a
# path for a screenshot of the screen.
set -u
program="$1"
shot="${2:-}"
root="$(mktemp -d)"
trap 'kill -- -$pid 2>/dev/null; rm -rf "$root"' EXIT
. "$(dirname "$0")/e2elib.sh"
e2e_private_home
e2e_main_settings
if [ -z "${DISPLAY:-}" ]; then
    echo "no X display" >&2
    exit 1
fi
setsid "$program" >"$root/out.log" 2>&1 &
pid=$!
window="$(e2e_main_window "$pid")"
if [ -z "$window" ]; then
    echo "the main window did not appear" >&2
    cat "$root/out.log" >&2
    exit 1
fi
# Wait for the interpreter's first prompt (the status bar says Ready; the
# window accepts input only then): give it a few seconds.
sleep 4
target="$root/work/from_xdotool.txt"
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool windowfocus --sync "$window" 2>/dev/null || true
# A click into the command window, as a user gives it the keys.
xdotool mousemove --window "$window" 600 150 click 1
sleep 0.5
xdotool type --delay 20 "fid = fopen('from_xdotool.txt', 'w'); fprintf(fid, 'typed %d', 6*7); fclose(fid);"
xdotool key Return
for _ in $(seq 1 50); do
    [ -s "$target" ] && break
    sleep 0.2
done
if [ -n "$shot" ]; then
    xdotool type --delay 20 "disp(magic(4))"
    xdotool key Return
    sleep 1.5
    import -window root "$shot"
fi
if [ "$(cat "$target" 2>/dev/null)" != "typed 42" ]; then
    echo "the interpreter did not write the file" >&2
    cat "$root/out.log" >&2
    exit 1
fi
# File -> Exit, as a user would.
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key x
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "kestrune did not end after its window closed" >&2
    exit 1
fi
echo "ok"
