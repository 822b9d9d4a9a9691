#!/usr/bin/env bash
# Runs a command on an Xvfb of its own, ended with the command. The server takes a free display
# number itself (-displayfd), so runs started at the same moment never meet on one display, as
# two `xvfb-run -a` can: both take the same number, and the one whose server lost then cannot
# open the display (seen once in about fifteen window manager starts beside a busy stage).
# Usage: tools/on-xvfb.sh [-s "SERVER OPTIONS"] COMMAND [ARGUMENT...]
set -euo pipefail
usage="usage: $0 [-s \"SERVER OPTIONS\"] COMMAND [ARGUMENT...]"
options="-screen 0 1024x768x24"
if [ "${1:-}" = -s ]; then
  [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
  options=$2
  shift 2
fi
[ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }
number=$(mktemp)
# shellcheck disable=SC2086  # the options are separate words
Xvfb -displayfd 3 -nolisten tcp $options 3>"$number" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$number"' EXIT
for _ in $(seq 300); do  # the number is written once the server takes connections
  [ -s "$number" ] && break
  kill -0 "$server" 2>/dev/null || { echo "$0: Xvfb ended at start ($options)" >&2; exit 1; }
  sleep 0.1
done
[ -s "$number" ] || { echo "$0: Xvfb gave no display number in 30 s" >&2; exit 1; }
DISPLAY=:$(head -n 1 "$number") "$@"
