#!/usr/bin/env bash
# Cross-builds mascot.exe for 64-bit Windows with MinGW-w64 and packs it with its readme and the
# licence into BUILD_DIR/mascot-<version>-win64.zip (default BUILD_DIR: build-e2e-win). Prints the
# zip's path.
# Usage: tools/make-release.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-e2e-win}"
"$root/tools/ci/deps.sh" release >&2
# Only the program is built, without the tests or what they need; packing must not build
# anything else first.
(cd "$root" && cmake --preset windows-release -B "$build" >/dev/null)
cmake --build "$build" -j2 --target mascot >&2
rm -f "$build"/mascot-*-win64.zip
(cd "$build" && cpack -G ZIP >&2)
zip=$(ls "$build"/mascot-*-win64.zip)
echo "$zip"
