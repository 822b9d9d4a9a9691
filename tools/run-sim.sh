#!/usr/bin/env bash
# Builds the simulator natively (installing the compiler when missing) and runs it on a script.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/ci/deps.sh" sim >&2
(cd "$root" && cmake --preset sim >/dev/null && cmake --build --preset sim >&2)
exec "$root/build-sim/host/sim/mascot-sim" "$@"
