#!/usr/bin/env bash
# Builds everything and runs every test: native and sanitized core tests, then each further
# stage that is present (Windows build under Wine, soak and fuzz, end-to-end under Wine, the
# native X11 program on Xvfb, the monkey). Ends with one line counting the tests that passed.
set -euo pipefail
cd "$(dirname "$0")/.."
stages=(tools/ci/format.sh tools/ci/native.sh tools/ci/windows.sh tools/ci/soak-fuzz.sh
  tools/ci/e2e.sh tools/ci/x11.sh tools/ci/monkey.sh)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for stage in "${stages[@]}"; do
  [ -x "$stage" ] || continue
  echo "=== $stage"
  start=$SECONDS
  "$stage" 2>&1 | tee -a "$log"
  echo "=== $stage passed in $((SECONDS - start)) s"
done
# CTest's summary lines, the end-to-end and monkey checks' "ok N - ..." lines and the Python
# unit tests.
ctests=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" |
  awk '{ sum += $1 } END { print sum + 0 }')
checks=$(grep -c '^ok [0-9]' "$log" || true)
units=$(awk '/^Ran [0-9]+ tests? in/ { ran = $2 } /^OK/ && ran { sum += ran; ran = 0 }
  END { print sum + 0 }' "$log")
echo "All stages passed."
echo "tests: $((ctests + checks + units)) passed, 0 failed"
