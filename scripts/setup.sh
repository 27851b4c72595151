#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, as root,
# installing only what is missing. Sourced by demo.sh and test.sh.
set -euo pipefail

# The native library and its command-line renderer (which writes its PNGs
# with zlib and guesses the code page of older subtitle files with
# libuchardet), and the fonts the main job's sample draws with.
TEXTRASTER_NATIVE_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libfreetype-dev libharfbuzz-dev libfontconfig-dev libfribidi-dev zlib1g-dev libuchardet-dev
  fonts-dejavu-core fonts-ipafont-gothic
)

# Everything the tests need beyond that: the Windows cross-build with zlib
# for its command-line renderer, and Wine (i386 for the 32-bit DLL), the test
# frameworks, libpng as a reader of the renderer's PNGs apart from its
# writer, ICU as a second reading of the bidi algorithm, the locales' sources
# (a test compiles a Serbian one of its own), clang for the sanitizers and
# fuzzers, the formatter, fontTools as an independent reader of font names,
# the Python module's tests (numpy, PIL, pytest, and pip with setuptools to
# install it), dpkg-dev and file for the Debian package's computed
# dependencies, every font family the tests take by name (tests/fonts.txt
# says which family comes from which of these packages), and GStreamer for
# the overlay element: its development files and GstHarness, the
# command-line tools, and the elements its pipeline test runs (videotestsrc,
# subparse and videoconvert from -base, pngenc and multifilesink from -good;
# PIL reads the frames back). The emoji face changes nothing the text corpus
# draws, natively or under Wine: it only gives emoji the colour face they
# fall back to.
TEXTRASTER_TEST_PACKAGES=(
  mingw-w64 libz-mingw-w64-dev wine wine64 wine32:i386
  googletest libgtest-dev libbenchmark-dev libpng-dev libicu-dev locales
  clang-14 libclang-rt-14-dev clang-format-14
  fontconfig python3-fonttools
  python3-numpy python3-pil python3-pytest python3-setuptools python3-pip
  dpkg-dev file
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2 fonts-wqy-microhei fonts-ipafont-gothic
  fonts-urw-base35 fonts-freefont-ttf fonts-khmeros fonts-noto-color-emoji
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good
)

# Only for the benchmarks (bench/run.sh): the field the library is measured
# against, in the same run. The benchmarks build without them, leaving those
# figures out. The overlay element's peers: textoverlay (gstreamer1.0-x)
# and assrender (gstreamer1.0-plugins-bad).
TEXTRASTER_BENCH_PACKAGES=(libpango1.0-dev libcairo2-dev libass-dev gstreamer1.0-x gstreamer1.0-plugins-bad)

# Only for plotting a soak run (tests/soak/run.sh --plot).
TEXTRASTER_PLOT_PACKAGES=(python3-matplotlib)

textraster_install_plot_packages() {
  textraster_install_packages "${TEXTRASTER_PLOT_PACKAGES[@]}"
}

textraster_install_bench_packages() {
  textraster_install_packages "${TEXTRASTER_BENCH_PACKAGES[@]}"
}

textraster_install_test_packages() {
  textraster_install_packages "${TEXTRASTER_NATIVE_PACKAGES[@]}" "${TEXTRASTER_TEST_PACKAGES[@]}"
}

# Installs the given packages, or the native build's when none are given.
# The i386 architecture is added only when a package asks for it.
textraster_install_packages() {
  local wanted=("$@") missing=()
  ((${#wanted[@]})) || wanted=("${TEXTRASTER_NATIVE_PACKAGES[@]}")
  if [[ " ${wanted[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# A private Wine prefix under the build folder; no display is needed for
# memory device contexts.
textraster_wine_env() {
  export WINEPREFIX="$TEXTRASTER_BUILD/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix (once)"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
}

# Configures and builds one build: native, win32, win64, or a native one
# under another name (asan, tsan) set apart by its arguments. The project's
# own scripts build with warnings as errors.
textraster_build() {
  local name=$1; shift
  local args=(-DTEXTRASTER_WERROR=ON)
  case "$name" in
    win32) args+=(-DCMAKE_TOOLCHAIN_FILE="$TEXTRASTER_ROOT/cmake/mingw-i686.cmake") ;;
    win64) args+=(-DCMAKE_TOOLCHAIN_FILE="$TEXTRASTER_ROOT/cmake/mingw-x86_64.cmake") ;;
  esac
  cmake -S "$TEXTRASTER_ROOT" -B "$TEXTRASTER_BUILD/$name" -G Ninja "${args[@]}" "$@" >/dev/null
  cmake --build "$TEXTRASTER_BUILD/$name"
}

TEXTRASTER_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TEXTRASTER_BUILD=${TEXTRASTER_BUILD:-$TEXTRASTER_ROOT/build}
