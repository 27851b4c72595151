#!/usr/bin/env bash
# Runs the soak (tests/soak/soak.cpp) for SECONDS: natively on the library's
# objects, and the same program on the 32-bit DLL under Wine. Writes each
# run's samples to $TEXTRASTER_BUILD/soak/<where>.csv and its report to
# <where>.log, and with --plot a PNG of each (Debian's python3-matplotlib,
# installed through scripts/setup.sh). Fails when a run fails.
#
#   tests/soak/run.sh 120                     # two minutes natively, then two under Wine
#   tests/soak/run.sh 1800 native --plot      # half an hour natively, plotted
#   TEXTRASTER_SOAK_THREADS=8 tests/soak/run.sh 600 wine
#
# Long runs belong in the background: nice tests/soak/run.sh 1800 native &
set -euo pipefail
seconds=${1:?usage: run.sh SECONDS [native|wine|all] [--plot]}
where=${2:-all}
plot=${3:-}
[[ $where == --plot ]] && { where=all; plot=--plot; }
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/setup.sh"
threads=${TEXTRASTER_SOAK_THREADS:-4}
out="$TEXTRASTER_BUILD/soak"
mkdir -p "$out"
if [[ $plot == --plot ]]; then textraster_install_plot_packages; fi

# Builds the soak in one build (configuring it when it is not there yet) and
# writes the table of the tests' font files it reads.
prepare() {
  local name=$1
  if [[ -f $TEXTRASTER_BUILD/$name/build.ninja ]]; then
    cmake --build "$TEXTRASTER_BUILD/$name" --target soak >/dev/null
  else
    textraster_build "$name" -DTEXTRASTER_TESTS=ON -DTEXTRASTER_TOOLS=OFF >/dev/null
  fi
  "$TEXTRASTER_ROOT/scripts/check_setup.sh" --fonts "$TEXTRASTER_BUILD/$name/test-fonts.tsv" >/dev/null
}

status=0
# run <where> <command...>: the soak's report goes to the log and the screen.
run() {
  local name=$1
  shift
  echo "== soak, $name, $seconds s"
  if ! (cd "$out" && "$@" "$seconds" "$name.csv" "$threads") 2>&1 | tee "$out/$name.log"; then status=1; fi
  if [[ $plot == --plot ]]; then
    /usr/bin/python3 "$TEXTRASTER_ROOT/tests/soak/plot.py" "$out/$name.csv" "$out/$name.png" "soak, $name"
    echo "plot: $out/$name.png"
  fi
}

if [[ $where == native || $where == all ]]; then
  prepare native
  run native "$TEXTRASTER_BUILD/native/bin/soak"
fi
if [[ $where == wine || $where == all ]]; then
  prepare win32
  textraster_wine_env
  run wine env TEXTRASTER_CORPUS="$TEXTRASTER_ROOT/bench/corpus" wine "$TEXTRASTER_BUILD/win32/bin/soak.exe"
fi
exit $status
