#!/usr/bin/env bash
# CPU per moved frame of the native X11 mascot against oneko, side by side and alone, plus
# memory, start-up and idle figures (bench/x11_vs_oneko.py). Not part of CI.
# Usage: bench/x11-vs-oneko.sh [--runs N] [--syscalls S] [SECONDS]
#   SECONDS per phase (default 30; a run takes about four times that); --runs N repeats every
#   phase N times and prints the medians; --syscalls S adds S seconds of strace -c -f per program
#   and phase.
set -euo pipefail
cd "$(dirname "$0")/.."
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --runs|--syscalls) extra+=("$1" "$2"); shift 2 ;;
    *) break ;;
  esac
done
tools/ci/deps.sh g++ cmake make qt6-base-dev libxcb1-dev libxcb-shape0-dev xvfb oneko python3 strace
build=build-bench-x11
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMASCOT_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target mascot x11-probe >/dev/null
python3 bench/x11_vs_oneko.py --exe "$build/host/x11/mascot" --probe "$build/tests/x11/x11-probe" \
  --seconds "${1:-30}" "${extra[@]}"
