#!/usr/bin/env bash
# End-to-end stage: cross-builds mascot.exe and its release zip, then runs the real program under
# Wine on a virtual X display with real input (tests/e2e/desktop_test.py) and tests the zip
# (tests/e2e/zip_test.py). Screenshots go to build-e2e-win/e2e-artifacts. Prints its duration.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
started=$SECONDS
tools/ci/deps.sh e2e

build="$root/build-e2e-win"
zip=$(tools/make-release.sh "$build")
cmake --build "$build" -j2 --target mascot-probe >/dev/null
tools/wine/prepare-prefix.sh "$build/wineprefix"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
export PYTHONDONTWRITEBYTECODE=1  # no compiled caches beside the test scripts
export PYTHONPATH="$root/tests"    # the desktop test kit
artifacts="$build/e2e-artifacts"
rm -rf "$artifacts"
mkdir -p "$artifacts"

finish() {
  local status=$?
  wineserver -k 2>/dev/null || true  # this prefix's server only, also after a failure
  echo "e2e: $((SECONDS - started)) s, screenshots in $artifacts"
  exit $status
}
trap finish EXIT

probe="$build/tests/e2e/mascot-probe.exe"
# One persistent wineserver for the whole session: each probe call then starts at once. It is
# started with its output closed, so no test's captured output is held open by it.
tools/on-xvfb.sh -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  wineserver -p </dev/null >/dev/null 2>&1
  wine "$2" state </dev/null >/dev/null 2>&1 || true  # starts the prefix services quietly
  python3 tests/e2e/desktop_test.py --exe "$1" --probe "$2" --artifacts "$3"
  python3 tests/e2e/zip_test.py --zip "$4" --probe "$2" --artifacts "$3/zip"
  wineserver -k || true
' e2e "$build/host/win32/mascot.exe" "$probe" "$artifacts" "$zip"
