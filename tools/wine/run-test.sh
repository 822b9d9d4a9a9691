#!/usr/bin/env bash
# Runs one Windows test program under Wine for CTest: the cross build's emulator
# (cmake/mingw-w64-x86_64.cmake). Usage: tools/wine/run-test.sh PROGRAM.exe [ARGUMENTS...]
#
# Now and then Wine does not start a program at all: CTest then saw a failure with no output.
# A GoogleTest program prints "Running main() from ..." before anything else; when that line is
# missing, the program's code did not run, so this says so plainly and starts it once more. A
# program that printed it did run: its result stands, and a failed test is never run again. The
# missing line is a failure even with exit status 0 (nothing was tested). Other programs run
# once, as plain wine runs them.
set -uo pipefail

program=$1
if ! grep -qF "Running main() from" "$program" 2>/dev/null; then
  exec wine "$@"
fi

output=$(mktemp)
trap 'rm -f "$output"' EXIT

# Runs the program with its output passed on as it comes; true when GoogleTest's first line came.
ran() {
  wine "$@" | tee "$output"
  status=${PIPESTATUS[0]}
  grep -qF "Running main() from" "$output"
}

name=$(basename "$program")
if ran "$@"; then exit "$status"; fi
echo "run-test: Wine did not run $name (exit status $status, no GoogleTest output);" \
  "starting it once more" >&2
if ran "$@"; then exit "$status"; fi
echo "run-test: Wine did not run $name again (exit status $status, no GoogleTest output)" >&2
exit $((status == 0 ? 1 : status))
