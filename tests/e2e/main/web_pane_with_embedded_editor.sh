#!/usr/bin/env bash
# With the editor embedded, the first web pane to appear (here the
# documentation, through `doc plot`) must neither end the program nor cost the
# editor its place in the main window.
set -u
kestrune="$1"
. "$(dirname "$0")/e2elib.sh"
e2e_main_only
e2e_settings AutoStart=1 ConfirmExit=0 UseSeparateEditor=0 "workpath=$root/work"
fail() { e2e_fail_main "$1"; }
e2e_start_main_or_fail "$kestrune"
mpid="$(e2e_started_editor)"
editor="$(e2e_announced window)"
[ -n "$editor" ] || fail "the editor did not announce its window"
embedded() {
    xwininfo -tree -id "$editor" 2>/dev/null | grep -q "Parent window id: .*Kestrune"
}
for _ in $(seq 1 50); do
    embedded && break
    sleep 0.2
done
embedded || fail "the editor window was not embedded"

xdotool mousemove --window "$main" 600 150 click 1
sleep 0.3
xdotool type --delay 20 "doc plot"
xdotool key Return
sleep 6
kill -0 "$kpid" 2>/dev/null || fail "the program ended when the documentation pane appeared"
xdotool search --all --pid "$kpid" --name '^ - Kestrune$' 2>/dev/null | grep -qx "$main" ||
    fail "the main window was recreated"
embedded || fail "the editor window left the main window"
echo "ok"
