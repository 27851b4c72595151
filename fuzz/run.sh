#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 60), as many at
# once as there are processors (TEXTRASTER_FUZZ_JOBS), starting from the
# checked-in seeds and what earlier runs found (build/fuzz/corpus/<target>).
# Prints each target's executions, their rate and coverage; fails when a
# target finds a fault, leaving the input that shows it in
# build/fuzz/findings/.
#
#   fuzz/run.sh 600          # ten minutes each
#   fuzz/run.sh 60 render    # one target
#   TEXTRASTER_FUZZ_RUNS=10000000 nice fuzz/run.sh 36000 normalize
#                            # ten million inputs, or ten hours at most
#   TEXTRASTER_FUZZ_LONG=1 TEXTRASTER_FUZZ_JOBS=1 fuzz/run.sh 1800 run_extents render
#                            # lines of thousands of units
#
# The checked-in seeds are kept small: after a long run, the corpus it grew
# is minimised into them with libFuzzer's merge, e.g.
#   build/fuzz/normalize_fuzzer -merge=1 fuzz/corpus/normalize build/fuzz/corpus/normalize
set -euo pipefail
seconds=${1:-60}
shift || true
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TEXTRASTER_BUILD:-$root/build}/fuzz

CC=clang-14 CXX=clang++-14 cmake -S "$root/fuzz" -B "$build" -G Ninja -DTEXTRASTER_WERROR=ON >/dev/null
if ! cmake --build "$build" >"$build/build.log" 2>&1; then
  cat "$build/build.log"
  echo "the fuzz targets did not build"
  exit 1
fi

# Inputs no longer than the layouts need: a short text suffices to reach every
# rule, and long ones only slow the search. With TEXTRASTER_FUZZ_LONG=1 the
# text targets take lines of thousands of units instead, from the start
# (-len_control=0), to try what grows with a line's length; their corpora
# are kept apart (build/fuzz/corpus/<target>-long).
declare -A max_len=([normalize]=4096 [line_walker]=4096 [render]=2048 [name_table]=65536 [registration]=65536
  [run_extents]=300 [font]=65536)
long=${TEXTRASTER_FUZZ_LONG:-0}
export TEXTRASTER_FUZZ_LONG=$long  # the targets read it too
long_args=()
if ((long)); then
  max_len+=([normalize]=65536 [line_walker]=65536 [render]=16384 [run_extents]=4096)
  long_args=(-len_control=0)
fi
# The name table reader allocates each of up to 65,535 records on its own:
# without the allocation stacks AddressSanitizer records for each (they
# only help to explain a fault in the heap) it runs thousands of inputs a
# second instead of hundreds.
declare -A asan_options=([name_table]=malloc_context_size=0:quarantine_size_mb=16)
targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in "$root"/fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" _fuzzer.cpp)
    targets+=("$name")
  done
fi

mkdir -p "$build/findings"

# Runs one target; its summary line goes to $build/<target>.summary.
run_target() {
  local target=$1 corpus=$build/corpus/$1 log=$build/$1.log
  if ((long)); then corpus=$build/corpus/$1-long log=$build/$1-long.log; fi
  mkdir -p "$corpus"
  # fontconfig's own one-time leak is kept out by the targets themselves.
  local started=$SECONDS
  if ! ASAN_OPTIONS=${asan_options[$target]:-} "$build/${target}_fuzzer" "$corpus" "$root/fuzz/corpus/$target" \
      -max_total_time="$seconds" ${TEXTRASTER_FUZZ_RUNS:+-runs=$TEXTRASTER_FUZZ_RUNS} \
      -max_len="${max_len[$target]:-4096}" ${long_args[@]+"${long_args[@]}"} -timeout=25 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target-" >"$log" 2>&1; then
    { echo "$target: FAULT FOUND (log: $log)"
      grep -E "check failed|ERROR|SUMMARY|Test unit written" "$log" | head -5; } >"$build/$target.summary"
    return 1
  fi
  local runs peak done_line cov elapsed=$((SECONDS - started))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\) ft: \([0-9]*\) corp: \([0-9]*\).*/cov \1, features \2, corpus \3/p' <<<"$done_line")
  echo "$target: ${runs} runs in ${elapsed} s ($((runs / (elapsed > 0 ? elapsed : 1))) per second), ${cov}," \
    "peak RSS ${peak} MB" >"$build/$target.summary"
}

parallel=${TEXTRASTER_FUZZ_JOBS:-$(nproc)}
status=0
pids=()
names=()
for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= parallel)); do wait -n || true; done
  run_target "$target" &
  pids+=($!)
  names+=("$target")
done
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || status=1
  cat "$build/${names[$i]}.summary"
done
exit $status
