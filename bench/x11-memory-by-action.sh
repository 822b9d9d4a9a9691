#!/usr/bin/env bash
# The native X11 mascot's memory while one action is repeated, to find which action makes it grow:
# VmRSS and RssAnon every 100 repetitions after ten to warm up. Not part of CI.
# Usage: bench/x11-memory-by-action.sh ACTION [COUNT] [EXE]
#   ACTION  traymenu (right click on the tray icon, Down, Escape), menu (the same on the idle
#           mascot), command (two `mascot --command`), tray (trayer killed and started), tooltip
#   COUNT   repetitions (default 400); EXE the program (default: built in build-memory-x11)
set -euo pipefail
cd "$(dirname "$0")/.."
action=${1:?usage: $0 ACTION [COUNT] [EXE]}
count=${2:-400}
exe=${3:-}
case "$action" in
traymenu | menu | command | tray | tooltip) ;;
*) echo "unknown action $action: traymenu, menu, command, tray or tooltip" >&2; exit 2 ;;
esac
if [ -z "$exe" ]; then
  tools/ci/deps.sh bench-x11-memory
  cmake --preset x11 -B build-memory-x11 >/dev/null
  cmake --build build-memory-x11 -j2 --target mascot >/dev/null
  exe=$PWD/build-memory-x11/host/x11/mascot
fi
exec tools/on-xvfb.sh -s "-screen 0 1024x768x24" bash -c '
  set -u
  exe=$1 action=$2 count=$3
  start_tray() {
    trayer --edge bottom --align right --widthtype request --height 24 --SetDockType false \
      --transparent false >/dev/null 2>&1 &
    tray=$!
  }
  start_tray
  sleep 1
  "$exe" 2>/dev/null &
  pid=$!
  sleep 3
  once() {
    case $action in
    traymenu) xdotool mousemove 1011 755 click 3; sleep 0.25; xdotool key Down Escape; sleep 0.15 ;;
    menu) xdotool mousemove 320 120 click 3; sleep 0.25; xdotool key Down Escape; sleep 0.15 ;;
    command) "$exe" --command $((32771 + RANDOM % 30)) >/dev/null 2>&1
      "$exe" --command 32794 >/dev/null 2>&1 ;;  # the idle mode again
    tray) kill $tray; wait $tray 2>/dev/null; start_tray; sleep 0.6 ;;
    tooltip) xdotool mousemove 1011 755; sleep 1.2; xdotool mousemove 500 500; sleep 0.5 ;;
    esac
  }
  memory() { awk "/VmRSS|RssAnon/ { printf \"%s %s KiB  \", \$1, \$2 }" /proc/$pid/status; echo; }
  for i in $(seq 10); do once; done
  echo "$action 0: $(memory)"
  for i in $(seq "$count"); do
    once
    [ $((i % 100)) = 0 ] && echo "$action $i: $(memory)"
  done
  kill $pid $tray 2>/dev/null
' memory "$exe" "$action" "$count"
