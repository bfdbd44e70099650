#!/usr/bin/env bash
# Both real programs and the real interpreter: a breakpoint set in the editor
# (F9) stops Run (F5) at that line, the interpreter's workspace is the
# stopped function's there, and Continue (F5 again) runs the function to its
# end and leaves debug mode. Optional third argument: a screenshot path taken
# at the stop.
set -u
. "$(dirname "$0")/e2elib.sh"
e2e_both_programs "$@"
e2e_main_settings
[ -n "${DISPLAY:-}" ] || { echo "no X display" >&2; exit 1; }

cat > "$root/work/stopper.m" <<'M'
function stopper()
  a = 1;
  b = 2;
  fid = fopen('done.txt', 'w'); fprintf(fid, '%d', a + b); fclose(fid);
end
M
e2e_start_main "$kestrune"
[ -n "$main" ] || e2e_fail "the main window did not appear"
sleep 4

# Waits up to 10 s for a file under the work folder to be written.
await_file() {
    for _ in $(seq 1 50); do
        [ -s "$root/work/$1" ] && return
        sleep 0.2
    done
}
# Writes what the interpreter answers to a question typed into the main
# window into the file $1 of the work folder.
ask_main() {
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    sleep 0.5
    xdotool type --delay 20 "fid = fopen('$1', 'w'); fprintf(fid, '%d ', $2); fclose(fid);"
    xdotool key Return
    await_file "$1"
}

# The interpreter's edit command starts the editor with the file; it
# announces its process and window.
ask_main ready.txt "1"
xdotool type --delay 20 "edit stopper.m"
xdotool key Return
mpid="$(e2e_announced pid)"
editor="$(e2e_announced window)"
[ -n "$editor" ] || e2e_fail "the editor window did not appear"
sleep 1
editor_key() {
    xdotool windowactivate --sync "$editor" 2>/dev/null || true
    xdotool windowfocus --sync "$editor" 2>/dev/null || true
    sleep 0.3
    xdotool key --clearmodifiers "$@"
}
# The caret to line 3 ("b = 2;"), a breakpoint there, then Run.
editor_key ctrl+Home Down Down F9
sleep 1.5
editor_key F5

# At the stop "a" is set and "b" is not yet: asked from the main window.
sleep 4
ask_main at_stop.txt "exist('a', 'var'), exist('b', 'var')"
[ -n "$shot" ] && { sleep 1; import -window root "$shot"; }
[ "$(cat "$root/work/at_stop.txt" 2>/dev/null)" = "1 0 " ] ||
    e2e_fail "Run did not stop at the breakpoint's line"
[ -e "$root/work/done.txt" ] && e2e_fail "the function ran past its breakpoint"

# Continue from the editor: the function ends, debug mode with it.
editor_key F5
await_file done.txt
[ "$(cat "$root/work/done.txt" 2>/dev/null)" = "3" ] || e2e_fail "Continue did not run the function to its end"
ask_main after.txt "exist('a', 'var')"
[ "$(cat "$root/work/after.txt" 2>/dev/null)" = "0 " ] || e2e_fail "the interpreter stayed in the stopped function"
echo "ok"
