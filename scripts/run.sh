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
mkdir -p build/reports
for kind in summary sections info; do
  build/bin/verdimo-cli report "$kind" "$sample" -o "build/reports/$kind.html"
done
echo "Its reports: build/reports/summary.html, build/reports/sections.html, build/reports/info.html"
build/bin/verdimo-cli print "$sample" -o build/sample-plan.pdf
echo "Its printed sheet: build/sample-plan.pdf"
