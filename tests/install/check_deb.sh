#!/usr/bin/env bash
# Installs the Debian packages on this machine as a user does
# (apt-get install ./textraster_*.deb ./gstreamer1.0-textraster_*.deb),
# uses them as the tool's user, a C host built with pkg-config, a Python
# user and GStreamer do, with nothing but the system's paths, then removes
# them and checks that none of their files stay. A package installed before
# is not this check's to replace or remove: it stops then.
#
#   check_deb.sh SCRATCH_DIR PACKAGE.deb...   (textraster's, and the plugin's if built)
set -euo pipefail
scratch=$1
shift
declare -A debs
for deb in "$@"; do debs[$(dpkg-deb -f "$deb" Package)]=$(realpath "$deb"); done
[[ -n ${debs[textraster]:-} ]] || { echo "no textraster package among: $*"; exit 1; }
packages=("${!debs[@]}")
# apt-get, quiet unless it fails; it waits for another user's lock.
apt() {
  local out
  out=$(DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@" 2>&1) || {
    echo "$out"
    return 1
  }
}
for package in "${packages[@]}"; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    echo "$package is installed on this machine already; remove it to run this check"
    exit 1
  fi
done
rm -rf "$scratch"
mkdir -p "$scratch"

# Dependencies computed from the binaries, not written by hand: the
# library's package must not bring GStreamer, the plugin's brings it and the
# library's package of the same version.
# depends PACKAGE NAME... : PACKAGE's Depends names every NAME.
depends() {
  local field names
  field=$(dpkg-deb -f "${debs[$1]}" Depends)
  names=$(sed -e 's/, /\n/g' <<<"$field")
  shift
  for name in "$@"; do
    grep -qxF "$name" <<<"$names" || grep -qxF "$name" <<<"$(sed 's/ (.*//' <<<"$names")" ||
      { echo "Depends lacks $name: $field"; exit 1; }
  done
}
depends textraster libc6 libstdc++6 libfreetype6 libharfbuzz0b libfontconfig1 libfribidi0 zlib1g
if grep -qi gstreamer <<<"$(dpkg-deb -f "${debs[textraster]}" Depends)"; then
  echo "textraster's package depends on GStreamer: $(dpkg-deb -f "${debs[textraster]}" Depends)"
  exit 1
fi
version=$(dpkg-deb -f "${debs[textraster]}" Version)
plugin=${debs[gstreamer1.0-textraster]:-}
[[ -z $plugin ]] || depends gstreamer1.0-textraster "textraster (= $version)" libc6 libgstreamer1.0-0 \
  libgstreamer-plugins-base1.0-0 libglib2.0-0

apt install "${debs[@]}"
files=$(dpkg -L "${packages[@]}")
trap 'apt purge "${packages[@]}"' EXIT

[[ $(command -v textraster) == /usr/bin/textraster ]]
env -u LD_LIBRARY_PATH textraster --version
env -u LD_LIBRARY_PATH textraster render "From the package" --fit -q -o "$scratch/package.png"
[[ -s $scratch/package.png ]]

# shellcheck disable=SC2046  # the flags are words
"${CC:-cc}" "$(dirname "$0")/host.c" -o "$scratch/host" $(pkg-config --cflags --libs textraster)
env -u LD_LIBRARY_PATH "$scratch/host"

# As root, Python writes byte code beside the module: removal must take it.
(cd "$scratch" && env -u TEXTRASTER_LIBRARY -u LD_LIBRARY_PATH -u PYTHONPATH -u PYTHONDONTWRITEBYTECODE \
  /usr/bin/python3 -c '
import textraster
assert textraster.__file__.startswith("/usr/lib/python3/dist-packages/"), textraster.__file__
print("the packaged module draws", textraster.render("From the package", fit=True).shape)
')

# GStreamer finds the plugin where the package put it, without
# GST_PLUGIN_PATH (a registry of the check's own, so that no user's cache is
# touched), and the element draws in a pipeline.
if [[ -n $plugin ]]; then
  gst() { env -u GST_PLUGIN_PATH -u GST_PLUGIN_SYSTEM_PATH_1_0 -u LD_LIBRARY_PATH GST_REGISTRY="$scratch/registry.bin" "$@"; }
  inspect=$(gst gst-inspect-1.0 textrasteroverlay)
  # The same file, whichever name it goes by (/lib is /usr/lib on a merged /usr).
  found=$(sed -n 's/^ *Filename *//p' <<<"$inspect")
  installed=$(dpkg -L gstreamer1.0-textraster | grep '/gstreamer-1\.0/libgsttextraster\.so$')
  [[ -n $found && $(realpath "$found") == $(realpath "$installed") ]] ||
    { echo "gst-inspect-1.0 finds textrasteroverlay in ${found:-no file}, not in $installed"; exit 1; }
  gst gst-launch-1.0 -q videotestsrc num-buffers=3 ! video/x-raw,format=I420,width=320,height=240 \
    ! textrasteroverlay text="From the package" ! fakesink
  echo "gst-inspect-1.0 finds textrasteroverlay in the installed plugin; a pipeline draws with it"
fi

trap - EXIT
apt purge "${packages[@]}"
left=$(while IFS= read -r file; do if [[ -f $file || -L $file ]]; then echo "$file"; fi; done <<<"$files")
module=/usr/lib/python3/dist-packages/textraster
[[ -e $module ]] && left+=" $module/ ($(ls -A "$module" | paste -sd' ' -))"
[[ -z $left ]] || { echo "left after removal: $left"; exit 1; }
echo "installed ${packages[*]}, used by the tool, a C host, Python${plugin:+ and GStreamer}, removed without a trace"
