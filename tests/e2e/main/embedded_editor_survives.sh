#!/usr/bin/env bash
# An embedded editor must outlive a main program that dies without closing
# it: its window goes back to the desktop, still shown, documents and all.
set -u
kestrune="$1"
marlinote="$2"
root="$(mktemp -d)"
kpid=""
mpid=""
cleanup() {
    [ -n "$kpid" ] && kill -9 -- -"$kpid" 2>/dev/null
    if [ -n "$mpid" ]; then
        kill -- -"$mpid" 2>/dev/null || kill "$mpid" 2>/dev/null
        for _ in $(seq 1 50); do
            kill -0 "$mpid" 2>/dev/null || break
            sleep 0.1
        done
    fi
    rm -rf "$root"
}
trap cleanup EXIT
. "$(dirname "$0")/e2elib.sh"
e2e_private_home
printf '[Octave]\nAutoStart=0\nConfirmExit=0\nUseSeparateEditor=0\n' > "$XDG_CONFIG_HOME/Halvard/Kestrune.conf"
fail() {
    echo "$1" >&2
    exit 1
}
[ -n "${DISPLAY:-}" ] || fail "no X display"

setsid "$kestrune" >"$root/kestrune.log" 2>&1 &
kpid=$!
main="$(e2e_main_window "$kpid")"
[ -n "$main" ] || fail "the main window did not appear"
printf 'x = 1;\n' > "$root/script.m"
# The editor comes up with kestrune; the file goes to it.
mpid="$(e2e_started_editor)"
[ -n "$mpid" ] || fail "kestrune did not start the editor"
timeout 20 "$marlinote" "$root/script.m" >"$root/marlinote.log" 2>&1
announcement="$XDG_RUNTIME_DIR/kestrune/marlinote.window"
editor=""
for _ in $(seq 1 100); do
    editor="$(sed -n 's/^window=//p' "$announcement" 2>/dev/null)"
    [ -n "$editor" ] && break
    sleep 0.2
done
[ -n "$editor" ] || fail "the editor did not announce its window"
inside=""
for _ in $(seq 1 50); do
    xwininfo -tree -id "$editor" 2>/dev/null | grep -q "Parent window id: .*Kestrune" && inside=1 && break
    sleep 0.2
done
[ -n "$inside" ] || fail "the editor window was not embedded"

kill -9 -- -"$kpid"
wait "$kpid" 2>/dev/null
kpid=""
sleep 1
kill -0 "$mpid" 2>/dev/null || fail "marlinote died with kestrune"
info="$(xwininfo -tree -id "$editor" 2>&1; xwininfo -id "$editor" 2>&1)"
echo "$info" | grep -q "(the root window)" || fail "the editor window did not go back to the desktop: $info"
echo "$info" | grep -q "IsViewable" || fail "the editor window is not shown: $info"
echo "ok"
