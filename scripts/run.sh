#!/usr/bin/env bash
# Builds Verdimo and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
build/bin/verdimo-cli catalogue summary "$@"
