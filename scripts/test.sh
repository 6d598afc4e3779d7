#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# the whole test suite. A sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${BUILD_DIR:-build-test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHANDHELD_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -LE monkey

# CI also runs the monkey over successive seeds for about two minutes
# (docs/monkey.md) and each fuzzer for a minute (docs/fuzzing.md).
if [ "${CI:-}" = true ]; then
  ctest --test-dir "$build" --output-on-failure -L monkey
  scripts/fuzz.sh
fi
