#!/usr/bin/env bash
# Starts the program on a virtual X display with a project, keeps a picture
# of the whole screen and checks that the program came up and ended cleanly.
# Usage: x11-check.sh VERDIMO PROJECT OUT.png   (exit 77: no virtual display here)
set -euo pipefail
program=$1 project=$2 out=$3
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$out")"
rm -f "$out"
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb \
  VERDIMO_USER_DATA="$work/data" VERDIMO_USER_PROJECTS="$work/projects" VERDIMO_CONFIG="$work/verdimo.ini" \
  VERDIMO_SCREENSHOT="$out" XDG_RUNTIME_DIR="$work" \
  timeout 60 xvfb-run -a -s "-screen 0 1920x1080x24" "$program" "$project"
[ -s "$out" ] || { echo "no screen picture was written"; exit 1; }
echo "screen of the program on $project: $out"
