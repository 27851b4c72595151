#!/usr/bin/env bash
# Installs the Debian package on this machine as a user does
# (apt-get install ./textraster_*.deb), uses it as the tool's user, a C
# host built with pkg-config and a Python user do, with nothing but the
# system's paths, then removes it and checks that none of its files stay.
# A textraster package installed before is not this check's to replace or
# remove: it stops then.
#
#   check_deb.sh PACKAGE.deb SCRATCH_DIR
set -euo pipefail
deb=$(realpath "$1") scratch=$2
# apt-get, quiet unless it fails; it waits for another user's lock.
apt() {
  local out
  out=$(DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@" 2>&1) || {
    echo "$out"
    return 1
  }
}
if dpkg-query -W -f='${Status}' textraster 2>/dev/null | grep -q 'ok installed'; then
  echo "textraster is installed on this machine already; remove it to run this check"
  exit 1
fi
rm -rf "$scratch"
mkdir -p "$scratch"

# Dependencies computed from the binaries, not written by hand.
depends=$(dpkg-deb -f "$deb" Depends)
names=$(sed -e 's/ ([^)]*)//g' -e 's/, /\n/g' <<<"$depends")
for package in libc6 libstdc++6 libfreetype6 libharfbuzz0b libfontconfig1 libfribidi0 zlib1g; do
  grep -qxF "$package" <<<"$names" || { echo "Depends lacks $package: $depends"; exit 1; }
done

apt install "$deb"
files=$(dpkg -L textraster)
trap 'apt purge textraster' EXIT

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

trap - EXIT
apt purge textraster
left=$(while IFS= read -r file; do if [[ -f $file || -L $file ]]; then echo "$file"; fi; done <<<"$files")
module=/usr/lib/python3/dist-packages/textraster
[[ -e $module ]] && left+=" $module/ ($(ls -A "$module" | paste -sd' ' -))"
[[ -z $left ]] || { echo "left after removal: $left"; exit 1; }
echo "installed $(basename "$deb"), used by the tool, a C host and Python, removed without a trace"
