#!/usr/bin/env bash
# Endurance and hostile input: the one-day soak and the golden traces in a build of their own
# (tools/ci/native.sh runs the soak only under the sanitizers), about a minute of fuzzing of the
# script reader and the core under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# benchmarks built so that they keep compiling.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/ci/deps.sh soak-fuzz
fuzz_seconds=${MASCOT_FUZZ_SECONDS:-60}

# Benchmarks: built, never run here.
cmake --preset bench >/dev/null
cmake --build --preset bench

cmake --preset soak >/dev/null
cmake --build --preset soak
ctest --preset soak

# Fuzzing: the committed corpus is read, new inputs go to a scratch folder, and any crash, hang
# or sanitizer report fails the stage with the input kept under build-fuzz/artifacts/.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work=build-fuzz/corpus-work
mkdir -p "$work" build-fuzz/artifacts
ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build-fuzz/fuzz/mascot-fuzz -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 "$work" fuzz/corpus
