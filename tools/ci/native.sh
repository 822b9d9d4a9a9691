#!/usr/bin/env bash
# Builds the portable core, the simulator, the X11 host and their tests natively, twice: a plain
# build and one under AddressSanitizer and UndefinedBehaviorSanitizer. Every test must pass in both.
set -euo pipefail
cd "$(dirname "$0")/../.."
# Qt 6 and XCB too, so that the X11 host and its unit tests build here as well.
tools/ci/deps.sh native

run_suite() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
}

run_suite native
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite sanitize
