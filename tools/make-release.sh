#!/usr/bin/env bash
# Cross-builds mascot.exe for 64-bit Windows with MinGW-w64 and packs it with its readme and the
# licence into BUILD_DIR/mascot-<version>-win64.zip (default BUILD_DIR: build-e2e-win). Prints the
# zip's path.
# Usage: tools/make-release.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-e2e-win}"
"$root/tools/ci/deps.sh" g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake make googletest >&2
# Only the program and the end-to-end probe (which lives with the tests) are built; packing must
# not build everything else first.
(cd "$root" && cmake --preset windows-release -B "$build" -DMASCOT_WERROR=ON >/dev/null)
cmake --build "$build" -j2 --target mascot mascot-probe >&2
rm -f "$build"/mascot-*-win64.zip
(cd "$build" && cpack -G ZIP >&2)
zip=$(ls "$build"/mascot-*-win64.zip)
echo "$zip"
