#!/usr/bin/env bash
# Installs what is missing, builds, and starts kestrune connected to the
# system's Octave.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
# The three programs only: the tests and benchmarks are the test command's.
"$here/scripts/build.sh" kestrune marlinote kestrune-diff
build="${KESTRUNE_BUILD_DIR:-$here/build}"
if [ ! -x "$build/bin/kestrune" ]; then
  echo "The main program is not built yet." >&2
  exit 1
fi
exec "$build/bin/kestrune" "$@"
