#!/usr/bin/env bash
# Measures the CPU used by mascot.exe, its wineserver and Xvfb over 60 s, moving and then idle
# (not part of CI). Usage: bench/wine-cpu.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build="$PWD/build-e2e-win"
tools/ci/deps.sh e2e
tools/make-release.sh "$build" >/dev/null
cmake --build "$build" -j2 --target mascot-probe >/dev/null
tools/wine/prepare-prefix.sh "$build/wineprefix"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all PYTHONPATH="$PWD/tests"
trap 'wineserver -k 2>/dev/null || true' EXIT
tools/on-xvfb.sh -s "-screen 0 1024x768x24" bash -c '
  wineserver -p </dev/null >/dev/null 2>&1
  for mode in "" --idle; do
    python3 bench/wine_cpu.py --exe "$1" --probe "$2" --seconds "$3" $mode
  done
  wineserver -k
' measure "$build/host/win32/mascot.exe" "$build/tests/e2e/mascot-probe.exe" "$seconds"
