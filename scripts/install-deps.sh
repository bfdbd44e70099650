#!/usr/bin/env bash
# Installs every Debian package the build, the programs and the tests need.
# Does nothing when all of them are present; runs apt-get update only when
# something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libxcb1-dev
  libqscintilla2-qt6-dev
  qt6-webengine-dev
  libminizip-dev zlib1g-dev
  octave octave-doc
  gnuplot-x11 fonts-freefont-otf
  googletest libgtest-dev libgmock-dev
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  qt6-qpa-plugins
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
