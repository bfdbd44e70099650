#!/usr/bin/env bash
# Both real programs: the editor runs with a file of keywords; in the main
# program File -> Options..., page "Fonts & Colors", Keyword made italic with
# the keyboard, OK. The editor's stored style says italic and the running
# editor draws its keywords anew. Optional third argument: a screenshot path.
set -u
. "$(dirname "$0")/e2elib.sh"
e2e_both_programs "$@"
# No interpreter is needed; the dialog opens on "Fonts & Colors".
e2e_settings AutoStart=0 ConfirmExit=0 UseSeparateEditor=1 OpenEditorStart=0 "workpath=$root/work"
printf '[%%General]\nLastActiveIndex=4\nAutoUpdate=0\n' >> "$XDG_CONFIG_HOME/Halvard/Kestrune.conf"
printf '[%%General]\nOpenOctaveStart=0\n' > "$XDG_CONFIG_HOME/Halvard/Marlinote.conf"
[ -n "${DISPLAY:-}" ] || { echo "no X display" >&2; exit 1; }

for _ in $(seq 1 8); do
    echo "if for while end switch otherwise until"
done > "$root/work/keywords.m"
e2e_start_main "$kestrune"
[ -n "$main" ] || e2e_fail "the main window did not appear"
setsid "$marlinote" "$root/work/keywords.m" >"$root/marlinote.log" 2>&1 &
mpid=$!
editor="$(e2e_announced window)"
[ -n "$editor" ] || e2e_fail "the editor window did not appear"

# The keywords' pixels: the cores of their glyphs are drawn in the keyword
# colour itself (stored 0xFF0000, blue), nothing else in the window is.
keyword_mask() {
    import -window "$editor" "$root/shot.png" 2>/dev/null &&
        convert "$root/shot.png" -fill black +opaque '#0000ff' -fill white -opaque '#0000ff' "$1"
}
keyword_pixels() {
    convert "$1" -format '%[fx:round(mean*w*h)]' info:
}
differing_pixels() {
    compare -metric AE "$1" "$2" null: 2>&1
}
for _ in $(seq 1 50); do
    keyword_mask "$root/before.png" && [ "$(keyword_pixels "$root/before.png")" -gt 200 ] && break
    sleep 0.2
done
[ "$(keyword_pixels "$root/before.png")" -gt 200 ] || e2e_fail "the editor does not show its keywords"

# File -> Options... (Open is greyed while no interpreter runs: the fourth
# item down from the first one enabled).
xdotool windowfocus --sync "$main" 2>/dev/null || true
sleep 0.3
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key Down Down Down Down Return
dialog=""
for _ in $(seq 1 50); do
    dialog="$(xdotool search --all --pid "$kpid" --name '^Options$' 2>/dev/null | head -1)"
    [ -n "$dialog" ] && break
    sleep 0.2
done
[ -n "$dialog" ] || e2e_fail "the options dialog did not open"
sleep 0.5
# From the page tree into the style list, "Keyword", then past the font, the
# size and Bold to Italic; Enter is OK.
xdotool key Tab k Tab Tab Tab Tab space
[ -n "$shot" ] && import -window root "$shot"
xdotool key Return
for _ in $(seq 1 50); do
    xdotool search --all --pid "$kpid" --name '^Options$' >/dev/null 2>&1 || break
    sleep 0.2
done

italic="$(sed -n '/^\[FontItalic\]/,/^\[/s/^KEYWORD=//p' "$XDG_CONFIG_HOME/Halvard/Marlinote.conf")"
[ "$italic" = "1" ] || e2e_fail "the editor's style was not stored as italic (FontItalic/KEYWORD=$italic)"

# The editor restyles: its keyword pixels change and then stay as they are.
restyled=""
for _ in $(seq 1 50); do
    sleep 0.2
    keyword_mask "$root/after.png" || continue
    [ "$(differing_pixels "$root/before.png" "$root/after.png")" -gt 50 ] || continue
    [ "$(keyword_pixels "$root/after.png")" -gt 100 ] || continue
    sleep 0.3
    keyword_mask "$root/again.png" || continue
    if [ "$(differing_pixels "$root/after.png" "$root/again.png")" = "0" ]; then
        restyled=1
        break
    fi
done
[ -n "$restyled" ] || e2e_fail "the running editor did not draw its keywords anew"
echo "ok"
