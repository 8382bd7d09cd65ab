#!/usr/bin/env bash
# Configures build-sanitize/: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, and the readers' libFuzzer harnesses.
set -euo pipefail
cd "$(dirname "$0")/.."
# A folder configured by another compiler is made anew.
if [ -f build-sanitize/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' build-sanitize/CMakeCache.txt; then
  rm -rf build-sanitize
fi
CC=clang CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVERDIMO_SANITIZE=ON \
  -DVERDIMO_FUZZ=ON -DVERDIMO_BUILD_BENCH=OFF >/dev/null
