#!/usr/bin/env bash
# Builds Verdimo and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
build/bin/verdimo-cli catalogue summary "$@"
echo
sample=build/bin/Projekty/Ogrod_przykladowy.prj
build/bin/verdimo-cli render "$sample" -o build/sample-plan.png --size 1400x1000
echo "Sample project $sample rendered to build/sample-plan.png"
