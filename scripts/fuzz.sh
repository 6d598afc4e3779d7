#!/usr/bin/env bash
# Builds the fuzzers with clang, AddressSanitizer and UndefinedBehaviorSanitizer and
# runs each for FUZZ_SECONDS (default 60) seconds over its seeds, one after another:
#
#   clipboard_block   the companion's clipboard bridge on arbitrary file lists
#   resource_image    the resource image reader and the readers of each record
#   shortcut_file     the shell's shortcut file reader and writer
#   scenario_script   the scenario language's reader
#
# docs/fuzzing.md says what each checks. Any finding fails the run (non-zero exit)
# after every target has run, and leaves the input that caused it in
# FUZZ_BUILD_DIR/findings/TARGET/ (crash-*, leak-*, timeout-*, oom-*), also printed
# as hex.
#
#   FUZZ_BUILD_DIR  build folder (default build-fuzz)
#   FUZZ_SECONDS    how long to fuzz each target (default 60)
#   FUZZ_TARGETS    which targets to run (default all four, in the order above)
#   FUZZ_CORPUS     folder the fuzzers grow their corpora in, one folder per target
#                   (default FUZZ_BUILD_DIR/corpus)
#   FUZZ_OPTIONS    further options for every fuzzer, e.g. -seed=1 or -runs=1000
#   FUZZ_TMPDIR     where the fuzzers' devices keep their files (default /dev/shm,
#                   a memory file system, when it can be written)
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
targets=${FUZZ_TARGETS:-clipboard_block resource_image shortcut_file scenario_script}
if [ -z "${FUZZ_TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then FUZZ_TMPDIR=/dev/shm; fi
[ -n "${FUZZ_TMPDIR:-}" ] && export TMPDIR=$FUZZ_TMPDIR

started=$(date +%s)
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_seeds fuzz_resource_seeds \
  $(for target in $targets; do echo "${target}_fuzzer"; done)
built=$(date +%s)
echo "fuzzers built in $((built - started)) s" >&2

# The seeds of each target, made afresh, and the options it runs with.
seeds_of() {
  local target=$1 seeds="$build/seeds/$1"
  rm -rf "$seeds"
  mkdir -p "$seeds"
  case "$target" in
    clipboard_block) "$build/fuzz_seeds" clipboard "$seeds" ;;
    resource_image) cp "$build"/resource-seeds/*.res "$build"/suite/*/*.res "$seeds/" ;;
    shortcut_file) "$build/fuzz_seeds" shortcut "$seeds" ;;
    scenario_script) cp "$root"/tests/scenarios/*.scn "$root"/examples/*.scn "$seeds/" ;;
  esac
  echo "$seeds"
}
options_of() {
  case "$1" in
    # An input that starts a program leaves the device's record of it behind, so
    # libFuzzer's leak check after each input would run the input again and scan
    # the heap after most of them, at a quarter of the speed. The inputs the run
    # kept are checked one by one afterwards instead (leak_check below); the
    # target checks the device's own heap after every input.
    clipboard_block) echo "-max_len=16384 -detect_leaks=0 -dict=$root/fuzz/clipboard_block.dict" ;;
    resource_image) echo "-max_len=16384" ;;
    shortcut_file) echo "-max_len=4200" ;;
    scenario_script)
      "$build/fuzz_seeds" script "$build/scenario_script.dict"
      echo "-max_len=8192 -dict=$build/scenario_script.dict" ;;
  esac
}

# The clipboard fuzzer's kept inputs and seeds, run once more each with libFuzzer's
# leak check after it: a leak is then found with the input that caused it (the
# check at the end of the fuzzing run knows no input).
leak_check() {
  local target=$1 seeds=$2 findings=$3 log=$4
  [ "$target" = clipboard_block ] || return 0
  (cd "$build" && "$build/${target}_fuzzer" -runs=0 -detect_leaks=1 -max_len=16384 -timeout=30 \
    -rss_limit_mb=4096 -artifact_prefix="$findings/" "$corpus/$target" "$seeds") >>"$log" 2>&1
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:abort_on_error=0}
# While fuzzing, the sanitizer notes two frames of where each block was allocated
# and freed instead of thirty: walking and storing the deep stacks of the device's
# threads took about a third of the clipboard fuzzer's time. What is checked is the same;
# only the "allocated by" and "freed by" parts of a report are short, and replaying
# the input (docs/fuzzing.md) prints them whole. The leak check of the kept inputs
# runs with the whole stacks. A malloc_context_size in ASAN_OPTIONS wins.
# The quarantine of freed blocks is 16 MB instead of 256: a block freed is still
# caught when used again while some tens of inputs run after it (an input of the
# clipboard fuzzer frees well under 1 MB), and new blocks come from memory still in
# the processor's cache, which made the clipboard fuzzer about a tenth faster.
fuzzing_asan_options="malloc_context_size=2:quarantine_size_mb=16:$ASAN_OPTIONS"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
rm -rf "$build/findings"
failed=()
summary=()
for target in $targets; do
  seeds=$(seeds_of "$target")
  options=$(options_of "$target")
  findings="$build/findings/$target"
  mkdir -p "$findings" "$corpus/$target"
  log="$build/$target.log"
  echo "fuzzing $target for $seconds s" >&2
  status=0
  # shellcheck disable=SC2086  # the options are words
  (cd "$build" && ASAN_OPTIONS=$fuzzing_asan_options "$build/${target}_fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$findings/" $options ${FUZZ_OPTIONS:-} \
    "$corpus/$target" "$seeds") >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  # A leak found at the end of the run is looked for again input by input.
  if [ "$status" -eq 0 ] || grep -q LeakSanitizer "$log"; then
    leak_check "$target" "$seeds" "$findings" "$log" || status=$?
  fi
  summary+=("$target: ${runs:-?} inputs, ${rate:-?} per second")
  if [ "$status" -ne 0 ]; then
    grep -E '^==fuzz==|ERROR|SUMMARY' "$log" >&2 || tail -20 "$log" >&2
    for input in "$findings"/*; do
      [ -f "$input" ] || continue
      echo "finding $target/$(basename "$input") as hex:" >&2
      od -An -v -tx1 "$input" | tr -d ' \n' >&2
      echo >&2
    done
    failed+=("$target")
  fi
done
printf '%s\n' "${summary[@]}" >&2
if [ ${#failed[@]} -ne 0 ]; then
  echo "the fuzzers found faults in: ${failed[*]} (logs in $build/TARGET.log)" >&2
  exit 1
fi
echo "fuzzing done in $(($(date +%s) - built)) s, no finding" >&2
