#!/usr/bin/env bash
# Measures how close the Linux build is to GDI: runs the text corpus through
# libtextraster.so natively and through textraster.dll under Wine, with the
# same fonts, and prints the comparison (compare_corpus.py).
#
#   tests/fidelity/run.sh [win32|win64 ...]
#       builds what is needed, runs the whole corpus and every installed
#       font family against each Windows build named (default: both), and
#       writes pictures to build/fidelity/pictures-<build>.
#   tests/fidelity/run.sh --quick NATIVE_BUILD_DIR
#       the CTest check: no building, 20 lines per language and the fonts
#       the project installs, against the win32 build beside the native one;
#       fails when a target is missed, skips (77) without that build or Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3

if [[ ${1:-} == --quick ]]; then
  native=$(cd "$2" && pwd)
  export TEXTRASTER_BUILD=$(dirname "$native")
  source "$here/../../scripts/setup.sh"
  windows=$TEXTRASTER_BUILD/win32
  if [[ ! -x $windows/bin/corpus_probe.exe ]] || ! command -v wine >/dev/null; then
    echo "skipped: no $windows/bin/corpus_probe.exe or no wine"
    exit 77
  fi
  textraster_wine_env
  out=$native/fidelity-quick
  mkdir -p "$out"
  printf '%s\n' "DejaVu Sans" "DejaVu Serif" "Liberation Sans" "Liberation Serif" "Liberation Mono" \
    "WenQuanYi Micro Hei" "IPAGothic" >"$out/families.txt"
  "$native/bin/corpus_probe" "$TEXTRASTER_ROOT/bench/corpus" "$out/families.txt" "$out/native" 20
  wine "$windows/bin/corpus_probe.exe" "$TEXTRASTER_ROOT/bench/corpus" "$out/families.txt" "$out/win32" 20
  exec "$python" "$here/compare_corpus.py" --check "$out/native" "$out/win32"
fi

source "$here/../../scripts/setup.sh"
textraster_install_packages
builds=("$@")
((${#builds[@]})) || builds=(win32 win64)
textraster_build native >/dev/null
for build in "${builds[@]}"; do textraster_build "$build" >/dev/null; done
textraster_wine_env

out=$TEXTRASTER_BUILD/fidelity
mkdir -p "$out"
# Every family name fontconfig knows, in every language it is given in.
fc-list : family | tr ',' '\n' | LC_ALL=C sort -u >"$out/families.txt"
"$TEXTRASTER_BUILD/native/bin/corpus_probe" "$TEXTRASTER_ROOT/bench/corpus" "$out/families.txt" "$out/native"
status=0
for build in "${builds[@]}"; do
  wine "$TEXTRASTER_BUILD/$build/bin/corpus_probe.exe" "$TEXTRASTER_ROOT/bench/corpus" "$out/families.txt" \
    "$out/$build"
  echo "== the Linux build against GDI under Wine ($build)"
  "$python" "$here/compare_corpus.py" --png "$out/pictures-$build" "$out/native" "$out/$build" || status=1
  echo
done
exit $status
