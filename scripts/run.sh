#!/usr/bin/env bash
# Installs what is missing, builds, and starts kestrune connected to the
# system's Octave.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build="${KESTRUNE_BUILD_DIR:-$here/build}"
if [ ! -x "$build/bin/kestrune" ]; then
  echo "The main program is not built yet." >&2
  exit 1
fi
exec "$build/bin/kestrune" "$@"
