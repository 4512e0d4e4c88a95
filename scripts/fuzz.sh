#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz, then runs each for a bounded time, two at a time,
# starting from the checked-in corpus fuzz/corpus/<name>/. Fails on any crash, hang (an input
# running over 10 s), leak, memory blow-up or sanitizer report; the input that caused it is
# kept in build-fuzz/fuzz-run/findings/<name>/ and the harness's log is printed.
#
#   scripts/fuzz.sh [NAME...]        all harnesses, or the ones named (e.g. bmp reg_file)
#   SETUP_FUZZ_SECONDS=600 scripts/fuzz.sh install_walk
#
# SETUP_FUZZ_SECONDS: seconds per harness (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${SETUP_FUZZ_SECONDS:-60}
all=(script_line header_pass install_walk reg_file profile_text bmp uninstall_log)
if [ $# -gt 0 ]; then harnesses=("$@"); else harnesses=("${all[@]}"); fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSETUP_FUZZ=ON -DSETUP_WERROR=ON \
      -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target fuzzers -j "$(nproc)"

work=build-fuzz/fuzz-run
rm -rf "$work"
mkdir -p "$work"
# The installation harnesses build a machine directory for every input: memory-backed
# storage keeps that quick where there is some.
scratch_parent=$PWD/build-fuzz
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_parent=/dev/shm
scratch=$(mktemp -d "$scratch_parent/setup-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

run_one() {
  local name=$1
  local corpus=$work/corpus/$name findings=$work/findings/$name
  mkdir -p "$corpus" "$findings" "$scratch/$name"
  local code=0
  # New inputs go to the run's own corpus; the checked-in one is only read.
  TMPDIR="$scratch/$name" \
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$name" \
    >"$work/$name.log" 2>&1 || code=$?
  echo "$code" >"$work/$name.result"
}

for name in "${harnesses[@]}"; do
  if [ ! -d "fuzz/corpus/$name" ]; then
    echo "fuzz.sh: no harness $name (known: ${all[*]})" >&2
    exit 2
  fi
done

echo "Fuzzing ${harnesses[*]} for ${seconds} s each, two at a time"
for name in "${harnesses[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n || true; done
  run_one "$name" &
done
wait

status=0
for name in "${harnesses[@]}"; do
  code=$(cat "$work/$name.result")
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$name.log" | grep -o '[0-9]*$' || true)
  if [ "$code" = 0 ] && ! grep -q 'ERROR: \|runtime error:' "$work/$name.log"; then
    echo "fuzz $name: passed, ${runs:-?} inputs"
  else
    status=1
    echo "fuzz $name: FAILED (exit $code); inputs kept in $work/findings/$name/"
    tail -n 60 "$work/$name.log"
  fi
done
exit $status
