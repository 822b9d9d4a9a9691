#!/usr/bin/env bash
# Builds the portable core, the simulator and their tests natively, twice: a plain build and one
# under AddressSanitizer and UndefinedBehaviorSanitizer. Every test must pass in both.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/ci/deps.sh g++ cmake make googletest libgtest-dev

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMASCOT_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j2
  (cd "$dir" && ctest --output-on-failure -j2)
}

run_suite build
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DMASCOT_SANITIZE=ON
