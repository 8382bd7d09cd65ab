#!/usr/bin/env bash
# Installs the Debian packages Verdimo is built with, when any is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev qt6-qpa-plugins qt6-image-formats-plugins
  libjpeg-dev nlohmann-json3-dev libeigen3-dev libgeos-dev
  googletest libgtest-dev libbenchmark-dev
  fonts-liberation2
  xvfb xauth x11-utils
  dpkg-dev desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin groff-base
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
