#!/usr/bin/env bash
# Builds Verdimo and runs it: the program on the sample project when there is
# a display, otherwise a demonstration of the model without a window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
sample=build/bin/Projekty/Ogrod_przykladowy.prj
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/verdimo "$sample"
fi
echo "No display: showing the model without a window. With a display, start the program with"
echo "  build/bin/verdimo $sample"
echo
build/bin/verdimo-cli catalogue summary "$@"
echo
build/bin/verdimo-cli render "$sample" -o build/sample-plan.png --size 1400x1000
echo "Sample project $sample rendered to build/sample-plan.png"
mkdir -p build/reports
for kind in summary sections info; do
  build/bin/verdimo-cli report "$kind" "$sample" -o "build/reports/$kind.html"
done
echo "Its reports: build/reports/summary.html, build/reports/sections.html, build/reports/info.html"
build/bin/verdimo-cli print "$sample" -o build/sample-plan.pdf
echo "Its printed sheet: build/sample-plan.pdf"
