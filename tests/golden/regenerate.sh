#!/usr/bin/env bash
# Rewrites the golden traces from a mascot-sim build. Only for a deliberate change of the
# motion: a speed-up must leave every trace byte for byte as it is.
# Usage: tests/golden/regenerate.sh path/to/mascot-sim
set -euo pipefail
sim=${1:?usage: regenerate.sh path/to/mascot-sim}
here="$(cd "$(dirname "$0")" && pwd)"
"$sim" "$here/wrap-tour.script" >"$here/wrap-tour.csv"
"$sim" "$here/tour.script" >"$here/tour.csv"
"$sim" "$here/../../examples/demo.script" >"$here/demo.csv"
"$sim" "$here/endurance.script" | sha256sum | cut -d' ' -f1 >"$here/endurance.sha256"
