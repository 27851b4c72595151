#!/usr/bin/env bash
# Builds the benchmarks and prints the tables of the README: the library on
# the benchmark job beside Pango + Cairo and libass in the same run, the
# line-length series, the full-HD region beside its memory passes, and the
# DLL under Wine beside one bare DrawTextW pass.
#
#   bench/run.sh                  everything (about ten minutes)
#   bench/run.sh native|windows   one half
#
# TEXTRASTER_BENCH_LIBRARY=dir   measures the libtextraster.so.0 in dir instead
#                                (an older build, for before and after)
# TEXTRASTER_BENCH_DLL=file      measures that textraster.dll instead
# TEXTRASTER_BENCH_SECONDS=s     time per figure (default 0.5)
set -euo pipefail
source "$(dirname "$0")/../scripts/setup.sh"
textraster_install_packages
textraster_install_bench_packages

what=${1:-all}
seconds=${TEXTRASTER_BENCH_SECONDS:-0.5}
out="$TEXTRASTER_BUILD/bench-results"
mkdir -p "$out"

if [[ $what == all || $what == native ]]; then
  textraster_build native -DTEXTRASTER_BENCH=ON
  library=${TEXTRASTER_BENCH_LIBRARY:-$TEXTRASTER_BUILD/native/bin}
  # Repetitions interleaved at random, so that a change in the machine's load
  # falls on every contender alike; the report takes each median.
  LD_LIBRARY_PATH="$library" "$TEXTRASTER_BUILD/native/bin/textraster_bench" \
    --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_min_time="$seconds" --benchmark_out="$out/native.json" --benchmark_out_format=json >/dev/null
  python3 "$TEXTRASTER_ROOT/bench/report.py" "$out/native.json"
fi

if [[ $what == all || $what == windows ]]; then
  textraster_build win64 -DTEXTRASTER_BENCH=ON
  textraster_wine_env
  run="$out/windows"
  mkdir -p "$run"
  cp "$TEXTRASTER_BUILD/win64/bin/windows_bench.exe" "$run/"
  cp "${TEXTRASTER_BENCH_DLL:-$TEXTRASTER_BUILD/win64/bin/textraster.dll}" "$run/textraster.dll"
  echo
  (cd "$run" && TEXTRASTER_CORPUS="$TEXTRASTER_ROOT/bench/corpus" wine ./windows_bench.exe "$seconds")
fi
