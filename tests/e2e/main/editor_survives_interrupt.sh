#!/usr/bin/env bash
# An editor that `edit` started must survive what the main program does to
# the interpreter: Ctrl+C in the command window (a signal to the
# interpreter's process group), and a reconnect after the interpreter died in
# the middle of pause(20). Its unsaved text stays.
set -u
kestrune="$1"
. "$(dirname "$0")/e2elib.sh"
e2e_main_only
e2e_settings AutoStart=1 ConfirmExit=0 UseSeparateEditor=0 "workpath=$root/work"
fail() { e2e_fail_main "$1"; }
e2e_start_main_or_fail "$kestrune"

# Focus to the command window: the pointer over it, away from the editor.
to_command_window() {
    xdotool mousemove --window "$main" 600 150
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    xdotool click 1
    sleep 0.3
}
# Types a statement into the command window and presses Return.
statement() {
    to_command_window
    xdotool type --delay 20 "$1"
    xdotool key Return
}
# Waits until the interpreter wrote the file $1 into the working folder.
wait_file() {
    for _ in $(seq 1 100); do
        [ -e "$root/work/$1" ] && return 0
        sleep 0.2
    done
    return 1
}
editor_alive() {
    kill -0 "$mpid" 2>/dev/null && [ -e "/proc/$mpid" ] && ! grep -q '^State:.*Z' "/proc/$mpid/status"
}

sleep 3
statement "fclose(fopen('ready1.txt', 'w'));"
wait_file ready1.txt || fail "the interpreter did not become ready"

printf 'x = 1;\n' > "$root/work/survive.m"
statement "edit survive.m"
announcement="$XDG_RUNTIME_DIR/kestrune/marlinote.window"
for _ in $(seq 1 100); do
    mpid="$(sed -n 's/^pid=//p' "$announcement" 2>/dev/null)"
    editor="$(sed -n 's/^window=//p' "$announcement" 2>/dev/null)"
    [ -n "$mpid" ] && [ -n "$editor" ] && break
    sleep 0.2
done
[ -n "$mpid" ] || fail "the editor did not start"
sleep 2

# Unsaved text in the editor.
e2e_type_in_editor "y = 2; "
sleep 0.5

# The editor's shown windows: a close question would add one.
editor_windows() {
    xdotool search --all --onlyvisible --pid "$mpid" 2>/dev/null | sort | tr '\n' ' '
}
windows="$(editor_windows)"

# Ctrl+C in the command window while a statement runs: it is cut short, and
# the editor is neither ended nor asked to close.
statement "pause(4); fclose(fopen('late.txt', 'w'));"
sleep 1
to_command_window
xdotool key --clearmodifiers ctrl+c
sleep 5
[ -e "$root/work/late.txt" ] && fail "Ctrl+C did not reach the interpreter"
editor_alive || fail "the editor died of Ctrl+C in the command window"
[ "$(editor_windows)" = "$windows" ] || fail "Ctrl+C in the command window asked the editor to close"

# The interpreter dies while pause(20) runs; then File -> Connect.
interpreter="$(pgrep -P "$kpid" | head -1)"
[ -n "$interpreter" ] || fail "no interpreter runs"
statement "system(sprintf('(sleep 2; kill -9 %d) &', getpid())); pause(20)"
for _ in $(seq 1 100); do
    [ -e "/proc/$interpreter" ] || break
    sleep 0.2
done
[ -e "/proc/$interpreter" ] && fail "the interpreter did not end"
sleep 1
to_command_window
xdotool key --window "$main" --clearmodifiers alt+f
sleep 0.3
xdotool key --window "$main" c
sleep 4
statement "fclose(fopen('ready2.txt', 'w'));"
wait_file ready2.txt || fail "the interpreter did not come back after the reconnect"
editor_alive || fail "the editor died with the interpreter's process group"
xwininfo -id "$editor" 2>/dev/null | grep -q "IsViewable" || fail "the editor window is gone"
[ "$(cat "$root/work/survive.m")" = "x = 1;" ] || fail "the editor's text reached the file"
echo "ok"
