#!/usr/bin/env bash
# Configures and builds into build/ (or $KESTRUNE_BUILD_DIR): the targets
# named as arguments, or everything (tests and benchmarks too) without any.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRUNE_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -G Ninja >/dev/null
if [ $# -eq 0 ]; then
  cmake --build "$build"
else
  cmake --build "$build" --target "$@"
fi
