#!/usr/bin/env bash
# Builds everything and runs every test: native and sanitized core tests, then each further
# stage that is present (Windows build under Wine, soak and fuzz, end-to-end).
set -euo pipefail
cd "$(dirname "$0")/.."
stages=(tools/ci/native.sh tools/ci/windows.sh tools/ci/soak-fuzz.sh tools/ci/e2e.sh)
for stage in "${stages[@]}"; do
  [ -x "$stage" ] || continue
  echo "=== $stage"
  start=$SECONDS
  "$stage"
  echo "=== $stage passed in $((SECONDS - start)) s"
done
echo "All stages passed."
