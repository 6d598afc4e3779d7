#!/usr/bin/env bash
# Builds the suite and the simulated handheld, then runs the handheld's main job, or
# the command given (`run FILE.scn [--device DIR] [--screens DIR] [--update-screens]`,
# `files`, `serve [--port N] [--device DIR] [--screen W H]`, which prints the address
# to open). The main job runs the guided tour and writes tour/ in the folder this
# script was started from: the screen after every step and tour/index.html, which
# shows each step beside its screen. The handheld runs in that folder, so relative
# paths in its arguments are taken from there. BUILD_DIR, when relative, is taken
# from the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" main
build=${BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHANDHELD_TESTS=OFF \
  -DHANDHELD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >&2
if [ "$#" -eq 0 ]; then
  exec "$build/device/handheld" run "$root/examples/tour.scn" --screens tour
fi
exec "$build/device/handheld" "$@"
