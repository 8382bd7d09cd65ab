#!/usr/bin/env bash
# Builds Verdimo and runs every test: the file readers once more under the
# address and undefined-behaviour sanitizers, a short fuzzing pass over every
# reader, then the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/sanitize.sh
bash scripts/fuzz.sh --seconds 3
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
bash scripts/package.sh
