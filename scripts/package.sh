#!/usr/bin/env bash
# Builds Verdimo and its Debian package: build/package/verdimo_VERSION_ARCH.deb.
# Install it with: sudo apt install ./build/package/verdimo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
rm -rf build/package
cpack -G DEB --config build/CPackConfig.cmake -B build/package >/dev/null
rm -rf build/package/_CPack_Packages
deb=$(ls build/package/verdimo_*.deb)
echo "$deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends Suggests
