#!/usr/bin/env bash
# Takes docs/gallery/menu-x11.png: the native X11 mascot on Xvfb with the menu of a right click
# on it open, its submenu shown. Usage: tools/gallery/menu-screenshot-x11.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build-x11}"
cmake --build "$build" -j2 --target mascot >/dev/null
tools/on-xvfb.sh -s "-screen 0 800x500x24 -noreset" bash -c '
  set -euo pipefail
  "$1" 2>/dev/null & mascot=$!
  for _ in $(seq 50); do xdotool search --onlyvisible --pid $mascot >/dev/null && break; sleep 0.1; done
  xsetroot -solid "#e8e8e8"
  xdotool mousemove 320 120 click 3
  sleep 0.5
  xdotool key Down Right
  sleep 0.5
  import -window root -crop 420x220+280+90 docs/gallery/menu-x11.png
  kill $mascot
' shot "$PWD/$build/host/x11/mascot"
echo "docs/gallery/menu-x11.png"
