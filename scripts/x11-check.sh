#!/usr/bin/env bash
# Starts the program on a virtual X display with a project, keeps a picture
# of the whole screen and checks that the program came up and ended cleanly,
# and that the window system shows the main window's title exactly as the
# program sets it: "VERDIMO ver. 4.2 [" + the project + "]", nothing added.
# Usage: x11-check.sh VERDIMO PROJECT OUT.png [WIDTHxHEIGHT]
#        (exit 77: no virtual display here; the screen is 1920x1080 unless named)
set -euo pipefail
program=$1 project=$2 out=$3 screen=${4:-1920x1080}
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed: skipped"; exit 77; }
command -v xwininfo >/dev/null || { echo "xwininfo is not installed: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$out")"
rm -f "$out"
# On the display: the program, and beside it a look at the window names once
# its main window carries the project.
cat >"$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
"$1" "$2" &
program=$!
for _ in $(seq 1 100); do
  xwininfo -root -tree >"$3" 2>/dev/null || true
  grep -q 'VERDIMO ver\. 4\.2 \[' "$3" && break
  sleep 0.2
done
wait "$program"
SESSION
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb \
  VERDIMO_USER_DATA="$work/data" VERDIMO_USER_PROJECTS="$work/projects" VERDIMO_CONFIG="$work/verdimo.ini" \
  VERDIMO_SCREENSHOT="$out" XDG_RUNTIME_DIR="$work" \
  timeout 60 xvfb-run -a -s "-screen 0 ${screen}x24" bash "$work/session.sh" "$program" "$project" "$work/windows.txt"
[ -s "$out" ] || { echo "no screen picture was written"; exit 1; }
echo "screen of the program on $project: $out"
title="VERDIMO ver. 4.2 [$project]"
if ! grep -qF "\"$title\"" "$work/windows.txt"; then
  echo "the window system does not show the title \"$title\"; its windows:"
  grep -F 'VERDIMO' "$work/windows.txt" || true
  exit 1
fi
echo "the main window is titled \"$title\""
