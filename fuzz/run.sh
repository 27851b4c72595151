#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 60), one after the
# other, starting from the checked-in seeds and what earlier runs found
# (build/fuzz/corpus/<target>). Prints each target's executions and coverage;
# fails on the first target that finds a fault, leaving the input that shows
# it in build/fuzz/findings/.
#
#   fuzz/run.sh 600          # ten minutes each
#   fuzz/run.sh 60 render    # one target
set -euo pipefail
seconds=${1:-60}
shift || true
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TEXTRASTER_BUILD:-$root/build}/fuzz

CC=clang-14 CXX=clang++-14 cmake -S "$root/fuzz" -B "$build" -G Ninja >/dev/null
cmake --build "$build" >/dev/null

# Inputs no longer than the layouts need: a short text suffices to reach every
# rule, and long ones only slow the search.
declare -A max_len=([normalize]=4096 [line_walker]=4096 [render]=2048 [name_table]=65536)
targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in "$root"/fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" _fuzzer.cpp)
    targets+=("$name")
  done
fi

mkdir -p "$build/findings"
status=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  log=$build/$target.log
  mkdir -p "$corpus"
  # fontconfig's own one-time leak is kept out by the targets themselves.
  if ! "$build/${target}_fuzzer" "$corpus" "$root/fuzz/corpus/$target" \
      -max_total_time="$seconds" -max_len="${max_len[$target]:-4096}" -timeout=25 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target-" >"$log" 2>&1; then
    echo "$target: FAULT FOUND (log: $log)"
    grep -E "ERROR|SUMMARY|Test unit written" "$log" | head -5
    status=1
    continue
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\) ft: \([0-9]*\) corp: \([0-9]*\).*/cov \1, features \2, corpus \3/p' <<<"$done_line")
  echo "$target: ${runs} runs in ${seconds} s, ${cov}, peak RSS ${peak} MB"
done
exit $status
