#!/usr/bin/env bash
# Endurance and hostile input: the one-day soak and the golden traces run in the CTest suites of
# tools/ci/native.sh (plain and sanitized), so this stage fuzzes the script reader and the core
# for about a minute under AddressSanitizer and UndefinedBehaviorSanitizer, runs the soak's and
# golden tests only when native.sh has not, and builds the benchmarks so that they keep compiling.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/ci/deps.sh g++ cmake make googletest libgtest-dev clang libclang-rt-14-dev libbenchmark-dev
fuzz_seconds=${MASCOT_FUZZ_SECONDS:-60}

# Benchmarks: built, never run here.
cmake --preset bench -DMASCOT_WERROR=ON >/dev/null
cmake --build --preset bench

# Soak and golden traces, unless native.sh's plain build has just run them.
if [ ! -f build/tests/soak/CTestTestfile.cmake ]; then
  cmake --preset soak -DMASCOT_WERROR=ON >/dev/null
  cmake --build --preset soak
  ctest --preset soak
fi

# Fuzzing: the committed corpus is read, new inputs go to a scratch folder, and any crash, hang
# or sanitizer report fails the stage with the input kept under build-fuzz/artifacts/.
cmake --preset fuzz -DMASCOT_WERROR=ON >/dev/null
cmake --build --preset fuzz
work=build-fuzz/corpus-work
mkdir -p "$work" build-fuzz/artifacts
ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build-fuzz/fuzz/mascot-fuzz -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 "$work" fuzz/corpus
