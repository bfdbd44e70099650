#!/usr/bin/env bash
# Configures and builds everything into build/ (or $KESTRUNE_BUILD_DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRUNE_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build"
