#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
build="${KESTRUNE_BUILD_DIR:-$here/build}"
"$here/scripts/build.sh"

# The session code also runs under ThreadSanitizer, in a build of its own.
tsan="${build}-tsan"
if [ -f "$here/main/session/CMakeLists.txt" ]; then
  cmake -S "$here" -B "$tsan" -G Ninja -DKESTRUNE_TSAN=ON >/dev/null
  # Every test program of the session folder, whatever it is called.
  cmake --build "$tsan" --target tests/main/session/all
fi

# Real-window tests need a display; widget tests use the offscreen platform.
# -noreset: an X server resets when its last client leaves, and a program
# that connects during the reset cannot open the display (Qt then aborts).
xvfb_args="-noreset -screen 0 1280x1024x24"
status=0
if [ -d "$tsan/tests/main/session" ]; then
  echo "== session tests under ThreadSanitizer"
  (cd "$tsan" && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
     xvfb-run -a -s "$xvfb_args" ctest --output-on-failure -R '^Session' -j2) || status=1
fi
echo "== all tests"
(cd "$build" && xvfb-run -a -s "$xvfb_args" ctest --output-on-failure -j2) || status=1
exit $status
