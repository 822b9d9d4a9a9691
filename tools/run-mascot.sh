#!/usr/bin/env bash
# Builds and starts the mascot on the current X display: the native X11 program (Qt 6 and XCB),
# installing what is missing with apt-get, a Japanese font for the menu included. With --wine,
# builds the Windows program instead and starts it under Wine (tools/run-mascot-wine.sh).
# Usage: tools/run-mascot.sh [--wine]    (native build folder: build-run, or $MASCOT_BUILD)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  echo "run-mascot: no X display (DISPLAY is unset); without one, try the headless simulator: tools/run-sim.sh examples/demo.script" >&2
  exit 1
fi
if [ "${1:-}" = --wine ]; then
  exec "$root/tools/run-mascot-wine.sh"
fi
if [ $# -gt 0 ]; then
  echo "usage: tools/run-mascot.sh [--wine]" >&2
  exit 2
fi
build="${MASCOT_BUILD:-$root/build-run}"
"$root/tools/ci/deps.sh" run >&2
(cd "$root" && cmake --preset run -B "$build" >/dev/null)
cmake --build "$build" -j2 --target mascot >&2
echo "Starting the mascot; right-click it or its tray icon for the menu." >&2
exec "$build/host/x11/mascot"
