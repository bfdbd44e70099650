#!/usr/bin/env bash
# Starts kestrune (editor pane in use), which starts marlinote on the X
# display; the editor's window must end up inside the main window, and so
# must a new editor started after the first one ended. Closing kestrune
# must close the editor too. Optional third argument: a screenshot path.
set -u
. "$(dirname "$0")/e2elib.sh"
e2e_both_programs "$@"
cat > "$XDG_CONFIG_HOME/Halvard/Kestrune.conf" <<CONF
[Octave]
AutoStart=0
ConfirmExit=0
UseSeparateEditor=0
workpath=$root/work
CONF
fail() {
    echo "$1" >&2
    [ -n "${DEBUG_SHOT:-}" ] && import -window root "$DEBUG_SHOT"
    echo "--- kestrune:" >&2; cat "$root/kestrune.log" >&2
    echo "--- marlinote:" >&2; cat "$root/marlinote.log" >&2 2>/dev/null
    exit 1
}
if [ -z "${DISPLAY:-}" ]; then
    echo "no X display" >&2
    exit 1
fi

setsid "$kestrune" >"$root/kestrune.log" 2>&1 &
kpid=$!
main="$(e2e_main_window "$kpid")"
[ -n "$main" ] || fail "the main window did not appear"

printf 'x = 1;\n' > "$root/work/script.m"
# The editor comes up with kestrune; the file goes to it.
mpid="$(e2e_started_editor)"
[ -n "$mpid" ] || fail "kestrune did not start the editor"
timeout 20 "$marlinote" "$root/work/script.m" >"$root/marlinote.log" 2>&1
announcement="$XDG_RUNTIME_DIR/kestrune/marlinote.window"
wait_embedded() {
    editor=""
    for _ in $(seq 1 100); do
        editor="$(sed -n 's/^window=//p' "$announcement" 2>/dev/null)"
        [ -n "$editor" ] && break
        sleep 0.2
    done
    [ -n "$editor" ] || fail "the editor did not announce its window"
    grep -q "^pid=$mpid\$" "$announcement" || fail "the announcement names another process"
    hex="$(printf '0x%x' "$editor")"
    inside=""
    for _ in $(seq 1 50); do
        if xwininfo -tree -id "$main" 2>/dev/null | grep -q "^ *$hex "; then
            inside=1
            break
        fi
        sleep 0.2
    done
    [ -n "$inside" ] || fail "the editor window $hex is not inside the main window $main"
    # Not a top-level window any more.
    if xwininfo -root -children 2>/dev/null | grep -q "^ *$hex "; then
        fail "the editor window is still a child of the root"
    fi
}
wait_embedded

# An editor that ends on its own leaves the pane; a new one is taken in.
kill -TERM "$mpid"
for _ in $(seq 1 50); do
    kill -0 "$mpid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$mpid" 2>/dev/null && fail "marlinote did not end on SIGTERM"
[ -e "$announcement" ] && fail "the ended editor's announcement is still there"
sleep 1
setsid "$marlinote" "$root/work/script.m" >>"$root/marlinote.log" 2>&1 &
mpid=$!
wait_embedded

if [ -n "$shot" ]; then
    sleep 1
    import -window root "$shot"
fi

# File -> Exit in the main window. X sends keys to the window under the
# pointer when it lies inside the focus window: keep the pointer off the
# editor, over the command window.
exit_main() {
    xdotool mousemove --window "$main" 600 150
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    sleep 0.3
    xdotool key --window "$main" --clearmodifiers alt+f
    sleep 0.3
    xdotool key --window "$main" x
}

# A changed document: the editor asks about it, and Cancel keeps both
# programs open.
e2e_type_in_editor "y = 2; "
sleep 0.3
exit_main
sleep 1.5
xdotool key Escape
sleep 1.5
kill -0 "$kpid" 2>/dev/null || fail "kestrune closed although the editor's user cancelled"
kill -0 "$mpid" 2>/dev/null || fail "the editor closed although its user cancelled"

# Again, now declining to save: both end and the file is untouched.
exit_main
sleep 1.5
xdotool key alt+n
for _ in $(seq 1 100); do
    kill -0 "$kpid" 2>/dev/null || break
    sleep 0.1
done
sleep 0.5
kill -0 "$mpid" 2>/dev/null && fail "marlinote still runs after kestrune closed"
kill -0 "$kpid" 2>/dev/null && fail "kestrune did not end after its window closed"
[ -e "$announcement" ] && fail "the editor's announcement outlived it"
[ "$(cat "$root/work/script.m")" = "x = 1;" ] || fail "the unsaved change reached the file"
kpid=""
mpid=""
echo "ok"
