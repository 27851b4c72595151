#!/usr/bin/env bash
# Builds the benchmarks and prints the tables of the README: the library on
# the benchmark job beside Pango + Cairo and libass in the same run, the
# line-length series, the full-HD region beside its memory passes, and both
# DLLs under Wine beside DrawTextW with the context, bitmap and font made per
# line and kept. Where one DLL call's time goes, per platform call:
# $TEXTRASTER_BUILD/bench-results/win32/gdi_profile.exe [passes] [language]
# under Wine (textraster_wine_env; TEXTRASTER_CORPUS=bench/corpus).
#
#   bench/run.sh                            everything (over an hour)
#   bench/run.sh native|windows|gstreamer   one part; gstreamer: the overlay
#                                           element beside textoverlay and
#                                           assrender (an hour on a busy machine)
#
# TEXTRASTER_BENCH_LIBRARY=dir   measures the libtextraster.so.0 in dir instead
#                                (an older build, for before and after)
# TEXTRASTER_BENCH_DLL=file      measures that 64-bit textraster.dll instead
# TEXTRASTER_BENCH_DLL32=file    measures that 32-bit textraster.dll instead
# TEXTRASTER_BENCH_SECONDS=s     time per figure (default 0.5)
# TEXTRASTER_BENCH_RUNS=n        runs of each overlay pipeline (default 5)
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
  # Both DLLs, each beside DrawTextW under the same Wine.
  textraster_wine_env
  for build in win32 win64; do
    textraster_build "$build" -DTEXTRASTER_BENCH=ON
    run="$out/$build"
    mkdir -p "$run"
    cp "$TEXTRASTER_BUILD/$build/bin/windows_bench.exe" "$TEXTRASTER_BUILD/$build/bin/gdi_profile.exe" "$run/"
    dll=$TEXTRASTER_BUILD/$build/bin/textraster.dll
    [[ $build == win64 && -n ${TEXTRASTER_BENCH_DLL:-} ]] && dll=$TEXTRASTER_BENCH_DLL
    [[ $build == win32 && -n ${TEXTRASTER_BENCH_DLL32:-} ]] && dll=$TEXTRASTER_BENCH_DLL32
    cp "$dll" "$run/textraster.dll"
    echo
    (cd "$run" && TEXTRASTER_CORPUS="$TEXTRASTER_ROOT/bench/corpus" wine ./windows_bench.exe "$seconds")
  done
fi

if [[ $what == all || $what == gstreamer ]]; then
  textraster_build native -DTEXTRASTER_BENCH=ON
  # The plugin and the library copied aside, so that a build while the
  # pipelines run changes nothing they measure; a registry of their own.
  plugin="$out/gstreamer-plugin"
  rm -rf "$plugin" && mkdir -p "$plugin"
  cp "$TEXTRASTER_BUILD/native/gst/libgsttextraster.so" "$TEXTRASTER_BUILD"/native/bin/libtextraster.so* "$plugin/"
  cp "$TEXTRASTER_BUILD/native/bin/overlay_bench" "$plugin/"
  echo
  GST_PLUGIN_PATH="$plugin" GST_REGISTRY="$out/gstreamer-registry.bin" LD_LIBRARY_PATH="$plugin" \
    python3 "$TEXTRASTER_ROOT/bench/overlay_report.py" "$plugin/overlay_bench" "$out" "${TEXTRASTER_BENCH_RUNS:-5}"
fi
