#!/usr/bin/env bash
# CPU per moved frame of the native X11 mascot against oneko, side by side and alone, plus
# memory, start-up and idle figures (bench/x11_vs_oneko.py). Not part of CI.
# Usage: bench/x11-vs-oneko.sh [SECONDS] [--runs N] [--syscalls S]
#                              [--desktop bare|picom|mutter|kwin|xfwm4|all]
#   (SECONDS default 30; a run takes about four times that; --runs N repeats every phase and
#   prints the medians; --syscalls S adds S seconds of strace -c -f per program and phase. With
#   --desktop, each program runs alone on fresh desktops of that kind, about 5 × SECONDS + 20 s
#   per desktop and run.)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=30
if [[ $# -gt 0 && $1 != --* ]]; then seconds=$1; shift; fi
tools/ci/deps.sh bench-x11
if [[ " $* " == *" --desktop "* ]]; then
  tools/ci/deps.sh bench-desktops
fi
build=build-bench-x11
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMASCOT_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target mascot x11-probe >/dev/null
PYTHONPATH="$PWD/tests" python3 bench/x11_vs_oneko.py --exe "$build/host/x11/mascot" --probe "$build/tests/x11/x11-probe" \
  --seconds "$seconds" "$@"
