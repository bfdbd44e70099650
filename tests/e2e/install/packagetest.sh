#!/usr/bin/env bash
# Builds the Debian package from an existing build folder, unpacks it and
# checks what a desktop install needs; then starts the unpacked marlinote on
# a file under its own X server and checks that it opened the file and wrote
# its file association for the unpacked program.
# Usage: packagetest.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-package-XXXXXX")
xvfb_pid=
editor_pid=

cleanup() {
  # Only the processes this script started, by their pids.
  [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# The package, from the programs already built.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$(ls "$work"/pkg/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
# The interpreter and the web engine's helper process are no linked libraries.
for p in octave libqt6webenginecore6-bin; do
  [[ "$depends" == *"$p"* ]] || fail "the package does not depend on $p: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/kestrune usr/bin/marlinote usr/bin/kestrune-diff; do
  [ -x "$root/$f" ] || fail "$f missing or not executable"
done
for f in usr/share/applications/kestrune.desktop usr/share/applications/marlinote.desktop \
         usr/share/icons/hicolor/scalable/apps/kestrune.svg \
         usr/share/icons/hicolor/scalable/apps/marlinote.svg \
         usr/share/mime/packages/kestrune-octave.xml usr/share/marlinote/keywords.txt; do
  [ -s "$root/$f" ] || fail "$f missing"
done
# Every library the programs link comes from a package the package depends on.
depends_names=" $(echo "$depends" | tr ',|' '\n\n' | awk '{print $1}' | tr '\n' ' ') "
libs=$(for b in kestrune marlinote kestrune-diff; do
         objdump -p "$root/usr/bin/$b" | awk '/NEEDED/{print $2}'; done | sort -u)
# One query for all of them: lines "package[, package]: /path/lib".
set -f
owned=$(dpkg -S $(printf '*/%s ' $libs) 2>/dev/null || true)
set +f
for lib in $libs; do
  owners=$(echo "$owned" | awk -v l="/$lib" 'substr($NF, length($NF) - length(l) + 1) == l' | cut -d: -f1 | tr ',' '\n' | tr -d ' ' | sort -u)
  found=
  for o in $owners; do [[ "$depends_names" == *" $o "* ]] && found=1; done
  [ -n "$found" ] || fail "$lib (from ${owners:-no package}) is not among the dependencies"
done
grep -qx 'Exec="/usr/bin/marlinote" %f' "$root/usr/share/applications/marlinote.desktop" \
  || fail "the marlinote entry does not start /usr/bin/marlinote"
grep -qx 'Exec="/usr/bin/kestrune"' "$root/usr/share/applications/kestrune.desktop" \
  || fail "the kestrune entry does not start /usr/bin/kestrune"

# The unpacked editor, in a private home, on a display of its own.
home="$work/home"
mkdir -p "$home/runtime" "$work/files"
chmod 700 "$home/runtime"
script="$work/files/hello world.m"
printf 'disp(42)\n' >"$script"

exec 3>"$work/display"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"

HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
XDG_RUNTIME_DIR="$home/runtime" DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb \
  "$root/usr/bin/marlinote" "$script" >"$work/editor.log" 2>&1 &
editor_pid=$!

# The association is written once the editor has started.
entry="$home/data/applications/marlinote.desktop"
for _ in $(seq 300); do grep -q '^Exec=' "$entry" 2>/dev/null && break; sleep 0.1; done
grep -qxF "Exec=\"$root/usr/bin/marlinote\" %f" "$entry" \
  || { cat "$work/editor.log" >&2; fail "the association does not start the unpacked editor"; }
grep -q '^text/x-octave=marlinote.desktop;' "$home/config/mimeapps.list" \
  || fail "marlinote is not the default for text/x-octave"

# Closing it records the files it had open.
sleep 1
kill -TERM "$editor_pid"
for _ in $(seq 200); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$editor_pid" 2>/dev/null && fail "the editor did not close"
wait "$editor_pid" || true
editor_pid=
grep '^OpenFiles=' "$home/data/Halvard/Marlinote/userfiles.dat" | grep -qF "$script" \
  || { cat "$work/editor.log" >&2; fail "the editor did not open $script"; }

echo "package test passed"
