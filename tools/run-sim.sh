#!/usr/bin/env bash
# Builds the simulator natively (installing the compiler when missing) and runs it on a script.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/ci/deps.sh" g++ cmake make >&2
cmake -S "$root" -B "$root/build-sim" -DCMAKE_BUILD_TYPE=Release -DMASCOT_TESTS=OFF >/dev/null
cmake --build "$root/build-sim" -j2 --target mascot-sim >&2
exec "$root/build-sim/tools/mascot-sim" "$@"
