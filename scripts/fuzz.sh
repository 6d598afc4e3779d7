#!/usr/bin/env bash
# Fuzzes the companion's clipboard bridge with arbitrary file-list blocks under
# AddressSanitizer and UndefinedBehaviorSanitizer, for FUZZ_SECONDS (default 60)
# seconds over the seed corpus. Any finding fails the run (non-zero exit) and leaves
# the input that caused it in FUZZ_BUILD_DIR/findings (crash-*, leak-*, timeout-*,
# oom-*), also printed as hex.
#
#   FUZZ_BUILD_DIR  build folder (default build-fuzz)
#   FUZZ_SECONDS    how long to fuzz (default 60)
#   FUZZ_CORPUS     folder the fuzzer grows its corpus in (default FUZZ_BUILD_DIR/corpus)
#   FUZZ_OPTIONS    further options for the fuzzer, e.g. -seed=1 or -runs=1000
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh

# clang with the fuzzer's runtime (Debian keeps it in libclang-rt-14-dev).
fuzzer_works() {
  command -v clang++ >/dev/null || return 1
  local probe
  probe=$(mktemp -d)
  printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' \
    >"$probe/probe.cpp"
  local ok=0
  clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null || ok=1
  rm -rf "$probe"
  return $ok
}
if ! fuzzer_works; then
  need=(clang libclang-rt-14-dev)
  if [ "$(id -u)" -eq 0 ]; then
    echo "installing: ${need[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2
    apt-get install -y -qq --no-install-recommends "${need[@]}" >&2
    fuzzer_works || { echo "clang still cannot build a fuzzer" >&2; exit 1; }
  else
    echo "missing packages; run: sudo apt-get install -y ${need[*]}" >&2
    exit 1
  fi
fi

build=${FUZZ_BUILD_DIR:-build-fuzz}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
seconds=${FUZZ_SECONDS:-60}
corpus=${FUZZ_CORPUS:-$build/corpus}

started=$(date +%s)
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)" --target clipboard_block_fuzzer clipboard_block_seeds
built=$(date +%s)
echo "fuzzer built in $((built - started)) s" >&2

seeds="$build/seeds"
rm -rf "$seeds"
"$build/clipboard_block_seeds" "$seeds"
mkdir -p "$corpus"

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
findings="$build/findings"
rm -rf "$findings"
mkdir -p "$findings"
# -rss_limit_mb: memory grows slowly for the whole session (the sanitizer's
# quarantine, and the device's record of every program it started: each input
# starts one per path); a minute stays near 250 MB.
status=0
(cd "$build" && "$build/clipboard_block_fuzzer" -max_total_time="$seconds" -timeout=30 -max_len=16384 \
  -rss_limit_mb=4096 -print_final_stats=1 -dict="$root/fuzz/clipboard_block.dict" \
  -artifact_prefix="$findings/" ${FUZZ_OPTIONS:-} "$corpus" "$seeds") || status=$?
if [ "$status" -ne 0 ]; then
  for input in "$findings"/*; do
    [ -f "$input" ] || continue
    echo "finding $(basename "$input") as hex:" >&2
    od -An -v -tx1 "$input" | tr -d ' \n' >&2
    echo >&2
  done
  echo "the fuzzer found a fault (exit $status)" >&2
  exit 1
fi
echo "fuzzing done in $(($(date +%s) - built)) s, no finding" >&2
