#!/usr/bin/env bash
# Cross-builds the program and every test for 64-bit Windows with MinGW-w64 into build-win, then
# runs the tests through Wine inside a virtual X display (Xvfb), with a project-local Wine prefix
# (build-win/wineprefix). Prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build-win
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all

# The test run, inside the display (this script calls itself for it). A persistent wineserver saves
# Wine's start-up (about 2 s) for every test. Wine's background services start with the first
# program that shows a window; started by a test, they would inherit CTest's output pipes and keep
# it waiting, so a test with a window and a tray icon runs first with its output discarded. The
# server stops at the end, also on failure.
if [ "${1:-}" = --inside-display ]; then
  trap 'wineserver -k 2>/dev/null || true' EXIT
  trap 'exit 130' INT TERM  # so that the EXIT trap runs on an interrupt too
  wineserver -p
  wine "$build/tests/win32/mascot_win32_tests.exe" \
    --gtest_filter=TrayIconOfWindow.NewTaskbarGetsTheIconAgain >/dev/null 2>&1 </dev/null
  ctest --preset windows
  exit
fi

start=$SECONDS
tools/ci/deps.sh windows

cmake --preset windows >/dev/null
cmake --build --preset windows
echo "windows: built in $((SECONDS - start)) s"

tools/wine/prepare-prefix.sh "$WINEPREFIX"
tests_start=$SECONDS
tools/on-xvfb.sh -s "-screen 0 1024x768x24" "$0" --inside-display
echo "windows: tests under Wine took $((SECONDS - tests_start)) s;" \
  "build and tests $((SECONDS - start)) s"
