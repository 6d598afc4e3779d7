#!/usr/bin/env bash
# Builds the suite and the simulated handheld, then runs the handheld's main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHANDHELD_TESTS=OFF -DHANDHELD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >&2
exec "$build/device/handheld" "$@"
