#!/usr/bin/env bash
# Checks that everything the tests use is here and comes from a package that
# scripts/setup.sh installs, so that a missing install step fails here, on
# any machine, and not only on a fresh one.
#
#   scripts/check_setup.sh               # the tools and the fonts, a line each
#   scripts/check_setup.sh --fonts FILE  # the fonts only, and their files
#                                        # written to FILE for the tests
#
# A font is given as a fontconfig pattern in tests/fonts.txt with its package;
# it passes when fontconfig answers with that family, from a file of that
# package. A tool passes when it is on PATH and its file belongs to the named
# package or to one that package depends on.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

# command | package of setup.sh that brings it
TOOLS=(
  "cmake | cmake"
  "ninja | ninja-build"
  "g++ | g++"
  "pkg-config | pkg-config"
  "i686-w64-mingw32-g++-posix | mingw-w64"
  "x86_64-w64-mingw32-g++-posix | mingw-w64"
  "wine | wine"
  "clang++-14 | clang-14"
  "clang-format-14 | clang-format-14"
  "fc-match | fontconfig"
  "gst-launch-1.0 | gstreamer1.0-tools"
  "gst-inspect-1.0 | gstreamer1.0-tools"
  "dpkg-shlibdeps | dpkg-dev"
  "file | file"
)

# module | package of setup.sh that brings it into /usr/bin/python3
PYTHON_MODULES=(
  "fontTools | python3-fonttools"
  "numpy | python3-numpy"
  "PIL | python3-pil"
  "pytest | python3-pytest"
  "setuptools | python3-setuptools"
  "pip | python3-pip"
)

declare -A IN_SETUP=()
for p in "${TEXTRASTER_NATIVE_PACKAGES[@]}" "${TEXTRASTER_TEST_PACKAGES[@]}"; do IN_SETUP[${p%%:*}]=1; done
failures=0

fail() {
  echo "MISSING  $1"
  failures=$((failures + 1))
}

trim() {
  local s=$1
  s=${s#"${s%%[![:space:]]*}"}
  echo "${s%"${s##*[![:space:]]}"}"
}

# The package that owns a file (links resolved), empty when none does.
owner() {
  dpkg-query -S "$(readlink -f "$1")" 2>/dev/null | head -1 | cut -d: -f1
}

# Whether package $2 is $1 or something $1 depends on, as installed.
brings() {
  [[ $1 == "$2" ]] && return 0
  local closure
  closure=$(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances "$1" 2>/dev/null | sed -e 's/^ *Depends: //' -e 's/:i386$//')
  grep -qxF "$2" <<<"$closure"
}

check_package_listed() {
  [[ -n ${IN_SETUP[$1]:-} ]] || { fail "$2: its package $1 is not in scripts/setup.sh"; return 1; }
}

# Passes when $2, the file of $1, comes from package $3 or one it brings.
check_owner() {
  local own
  own=$(owner "$2")
  if [[ -z $own ]] || ! brings "$3" "$own"; then
    fail "$1: $2 comes from ${own:-no package}, not from $3"
    return
  fi
  echo "ok       $1 ($own)"
}

check_tools() {
  local line tool module package path
  for line in "${TOOLS[@]}"; do
    tool=$(trim "${line%%|*}") package=$(trim "${line#*|}")
    check_package_listed "$package" "$tool" || continue
    if path=$(command -v "$tool"); then
      check_owner "$tool" "$path" "$package"
    else
      fail "$tool: not found; scripts/setup.sh installs it with $package"
    fi
  done
  for line in "${PYTHON_MODULES[@]}"; do
    module=$(trim "${line%%|*}") package=$(trim "${line#*|}")
    check_package_listed "$package" "$module" || continue
    if path=$(/usr/bin/python3 -c "import $module; print($module.__file__)" 2>/dev/null); then
      check_owner "$module for /usr/bin/python3" "$path" "$package"
    else
      fail "$module for /usr/bin/python3: not found; scripts/setup.sh installs it with $package"
    fi
  done
  # The elements the overlay element's pipeline test runs.
  local element
  for line in "videotestsrc | gstreamer1.0-plugins-base" "subparse | gstreamer1.0-plugins-base" \
    "videoconvert | gstreamer1.0-plugins-base" "pngenc | gstreamer1.0-plugins-good" \
    "multifilesink | gstreamer1.0-plugins-good"; do
    element=$(trim "${line%%|*}") package=$(trim "${line#*|}")
    check_package_listed "$package" "the GStreamer element $element" || continue
    if gst-inspect-1.0 --exists "$element" 2>/dev/null; then
      echo "ok       GStreamer element $element ($package)"
    else
      fail "the GStreamer element $element: scripts/setup.sh installs it with $package"
    fi
  done
}

# Resolves every font of tests/fonts.txt; writes "pattern<TAB>file" lines to
# $1 when given.
check_fonts() {
  local out=${1:-/dev/null} line pattern package family answer families file own
  local table=""
  while IFS= read -r line; do
    line=${line%%#*}
    [[ $line == *"|"* ]] || continue
    pattern=$(trim "${line%%|*}") package=$(trim "${line#*|}")
    family=${pattern%%:*}
    check_package_listed "$package" "font $pattern" || continue
    answer=$(fc-match -f '%{family}\t%{file}' "$pattern" 2>/dev/null || true)
    families=${answer%%$'\t'*} file=$(readlink -f "${answer#*$'\t'}" 2>/dev/null || true)
    if [[ ",$families," != *",$family,"* ]]; then
      fail "font $pattern: fontconfig answers ${families:-nothing}; scripts/setup.sh installs it with $package"
      continue
    fi
    own=$(owner "$file")
    if [[ $own != "$package" ]]; then
      fail "font $pattern: $file comes from ${own:-no package}, not from $package"
      continue
    fi
    echo "ok       font $pattern ($file)"
    table+="$pattern"$'\t'"$file"$'\n'
  done <"$TEXTRASTER_ROOT/tests/fonts.txt"
  printf '%s' "$table" >"$out"
}

if [[ ${1:-} == --fonts ]]; then
  check_fonts "${2:?usage: check_setup.sh --fonts FILE}"
else
  check_tools
  check_fonts
fi
if ((failures)); then
  echo "The set-up is incomplete: $failures missing (run scripts/setup.sh's installs, or add the package there)."
  exit 1
fi
