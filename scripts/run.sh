#!/usr/bin/env bash
# Builds the suite and the simulated handheld, then runs the handheld's main job, or
# the command given (`run FILE.scn [--device DIR]`, `files`, `serve [--port N]
# [--device DIR] [--screen W H]`, which prints the address to open). The handheld runs in
# the folder this script was started from, so relative paths in its arguments are
# taken from there. BUILD_DIR, when relative, is taken from the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" main
build=${BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHANDHELD_TESTS=OFF \
  -DHANDHELD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >&2
exec "$build/device/handheld" "$@"
