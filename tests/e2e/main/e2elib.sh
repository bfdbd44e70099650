# Shared by the real-window tests of kestrune; sourced, not run.

# A private HOME, XDG folders and TMPDIR under $root, so that settings, the
# message channel and answer files never touch the user's own.
e2e_private_home() {
    export HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data" \
           XDG_RUNTIME_DIR="$root/runtime" TMPDIR="$root/tmp" QT_QPA_PLATFORM=xcb
    mkdir -p "$HOME" "$XDG_CONFIG_HOME/Halvard" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR" "$root/work"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# Prints the main window of the kestrune process $1 once it is mapped (up to
# 20 s); prints nothing when it never appears. Other tests may show their own
# main windows on the same display, so the window is looked up by process.
e2e_main_window() {
    local window=""
    for _ in $(seq 1 100); do
        window="$(xdotool search --all --onlyvisible --pid "$1" --name '^ - Kestrune$' 2>/dev/null | head -1)"
        [ -n "$window" ] && break
        sleep 0.2
    done
    echo "$window"
}

# Prints the value of $1 ("pid" or "window") in the running editor's
# announcement, once it is there (up to 20 s); prints nothing when none came.
e2e_announced() {
    local value=""
    for _ in $(seq 1 100); do
        value="$(sed -n "s/^$1=//p" "$XDG_RUNTIME_DIR/kestrune/marlinote.window" 2>/dev/null)"
        [ -n "$value" ] && break
        sleep 0.2
    done
    echo "$value"
}

# Prints the pid of the editor that kestrune started with itself, once it has
# announced its window (up to 20 s); prints nothing when none did.
e2e_started_editor() {
    e2e_announced pid
}

# Writes the main program's settings: the [Octave] keys given as arguments
# ("AutoStart=1" ...).
e2e_settings() {
    { echo "[Octave]"; printf '%s\n' "$@"; } > "$XDG_CONFIG_HOME/Halvard/Kestrune.conf"
}

# Starts kestrune ($1) in a session of its own, its output in
# $root/kestrune.log; sets kpid, and main to its window (empty when none
# showed).
e2e_start_main() {
    setsid "$1" >"$root/kestrune.log" 2>&1 &
    kpid=$!
    main="$(e2e_main_window "$kpid")"
}

# Writes the main program's settings for a real-window run: the interpreter
# starts at once, exits without asking, no embedded editor, work folder
# $root/work.
e2e_main_settings() {
    e2e_settings AutoStart=1 ConfirmExit=0 UseSeparateEditor=1 OpenEditorStart=0 "workpath=$root/work"
}

# The start of a test with both programs: kestrune ($1), marlinote ($2), an
# optional screenshot path ($3) and a private home under a fresh $root, which
# goes, with both programs, when the test ends.
e2e_both_programs() {
    kestrune="$1"
    marlinote="$2"
    shot="${3:-}"
    root="$(mktemp -d)"
    kpid=""
    mpid=""
    trap e2e_end_both EXIT
    e2e_private_home
}

# The exit trap of a test with both programs: ends kestrune's session
# ($kpid) and the editor ($mpid: asked first, killed after 3 s), then
# removes $root.
e2e_end_both() {
    [ -n "$kpid" ] && kill -- -"$kpid" 2>/dev/null
    if [ -n "$mpid" ]; then
        kill "$mpid" 2>/dev/null
        for _ in $(seq 1 30); do
            kill -0 "$mpid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$mpid" 2>/dev/null
    fi
    rm -rf "$root"
}

# Reports a failure with both programs' output and ends the test.
e2e_fail() {
    echo "$1" >&2
    echo "--- kestrune:" >&2; cat "$root/kestrune.log" >&2
    echo "--- marlinote:" >&2; cat "$root/marlinote.log" >&2 2>/dev/null
    exit 1
}

# Clicks into the text of the editor window $editor, near its bottom, and
# types $1 there.
e2e_type_in_editor() {
    local geometry ex ey eh
    geometry="$(xwininfo -id "$editor")"
    ex="$(echo "$geometry" | sed -n 's/ *Absolute upper-left X: *//p')"
    ey="$(echo "$geometry" | sed -n 's/ *Absolute upper-left Y: *//p')"
    eh="$(echo "$geometry" | sed -n 's/ *Height: *//p')"
    xdotool mousemove $((ex + 200)) $((ey + eh - 60)) click 1
    sleep 0.3
    xdotool type --delay 20 "$1"
}

# The start of a test of kestrune alone (which may start an editor of its
# own): a private home under a fresh $root, which goes, with the programs
# ($kpid's session, the editor $mpid), when the test ends.
e2e_main_only() {
    root="$(mktemp -d)"
    kpid=""
    mpid=""
    trap e2e_end_main_only EXIT
    e2e_private_home
}
e2e_end_main_only() {
    [ -n "$kpid" ] && kill -9 -- -"$kpid" 2>/dev/null
    [ -n "$mpid" ] && kill -9 "$mpid" 2>/dev/null
    rm -rf "$root"
}

# Reports a failure with kestrune's output (and a screenshot into
# $DEBUG_SHOT when set) and ends the test.
e2e_fail_main() {
    echo "$1" >&2
    [ -n "${DEBUG_SHOT:-}" ] && import -window root "$DEBUG_SHOT"
    echo "--- kestrune:" >&2
    cat "$root/kestrune.log" >&2
    exit 1
}

# Starts kestrune ($1) as e2e_start_main does, failing the test when there is
# no display or no main window.
e2e_start_main_or_fail() {
    [ -n "${DISPLAY:-}" ] || e2e_fail_main "no X display"
    e2e_start_main "$1"
    [ -n "$main" ] || e2e_fail_main "the main window did not appear"
}
