#!/usr/bin/env bash
# Builds mascot.exe for Windows (cross, with MinGW-w64) and starts it under Wine on the current X
# display, in a Wine prefix inside the build folder (never ~/.wine). Installs what is missing.
# On Windows itself, start mascot.exe directly (tools/make-release.sh makes the zip).
# Usage: tools/run-mascot.sh --wine     (build folder: build-e2e-win, or $MASCOT_WIN_BUILD)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${MASCOT_WIN_BUILD:-$root/build-e2e-win}"
"$root/tools/ci/deps.sh" run-wine >&2
(cd "$root" && cmake --preset windows-release -B "$build" >/dev/null)
cmake --build "$build" -j2 --target mascot >&2
"$root/tools/wine/prepare-prefix.sh" "$build/wineprefix" >&2
echo "Starting the mascot; right-click it or its tray icon for the menu." >&2
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
exec wine "$build/host/win32/mascot.exe"
