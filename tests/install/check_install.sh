#!/usr/bin/env bash
# Installs a build into a prefix, as a packager does with
# `cmake --install --prefix`, then moves the installed tree elsewhere. There
# its programs must run on the installed library (their run paths are
# relative to themselves and name nothing of the build tree), its Python
# module must draw with the library of its own tree, and a small host must
# build against it twice: with pkg-config and with CMake's
# find_package, both finding the header and library where the tree now is.
#
#   check_install.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
build=$1 scratch=$2
rm -rf "$scratch"
cmake --install "$build" --prefix "$scratch/installed" >/dev/null
prefix=$scratch/moved/prefix
mkdir -p "$(dirname "$prefix")"
mv "$scratch/installed" "$prefix"

# Every run path of an installed program or library is relative to itself.
while IFS= read -r -d '' file; do
  head -c4 "$file" | grep -q $'\x7fELF' || continue
  for path in $(readelf -d "$file" | sed -n 's/.*(R\(UN\)\?PATH).*\[\(.*\)\]/\2/p' | tr ':' ' '); do
    [[ $path == '$ORIGIN'* ]] || { echo "${file#"$prefix"/} has the run path $path"; exit 1; }
  done
done < <(find "$prefix" -type f -print0)

# The installed tool runs where the tree landed, on the library beside it.
tool=$prefix/bin/textraster
if [[ -x $tool ]]; then
  library=$(env -u LD_LIBRARY_PATH ldd "$tool" | sed -n 's/.*libtextraster[^ ]* => \([^ ]*\).*/\1/p')
  [[ $(realpath "$library") == "$(realpath "$prefix")"/* ]] || { echo "the installed tool loads '$library'"; exit 1; }
  env -u LD_LIBRARY_PATH "$tool" --version
  env -u LD_LIBRARY_PATH "$tool" render "Installed" --fit -q -o "$scratch/installed.png"
  [[ -s $scratch/installed.png ]]
fi

# The installed Python module draws on the library of its own tree.
module=$(find "$prefix" -name installed_library.txt -printf '%h\n' | head -1)
if [[ -n $module ]]; then
  (cd "$scratch" && env -u TEXTRASTER_LIBRARY -u LD_LIBRARY_PATH PYTHONDONTWRITEBYTECODE=1 \
    PYTHONPATH="$(dirname "$module")" /usr/bin/python3 -c '
import os, sys, textraster
loaded = os.path.realpath(textraster.library.library()._name)
assert loaded.startswith(os.path.realpath(sys.argv[1]) + "/"), loaded
print("the installed module draws", textraster.render("Installed", fit=True).shape, "with", loaded)
' "$prefix")
fi

mkdir -p "$scratch/host"
cp "$(dirname "$0")/host.c" "$scratch/host/host.c"

# pkg-config, from the installed .pc file alone.
pc_dir=$(dirname "$(find "$prefix" -name textraster.pc | head -1)")
flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs textraster)
for path in $(tr ' ' '\n' <<<"$flags" | sed -n 's/^-[IL]//p'); do
  [[ $(realpath "$path") == "$(realpath "$prefix")"/* ]] || { echo "pkg-config names $path, outside $prefix"; exit 1; }
done
# shellcheck disable=SC2086  # the flags are words
"${CC:-cc}" "$scratch/host/host.c" -o "$scratch/host/host-pkg-config" $flags
LD_LIBRARY_PATH=$(sed -n 's/.*-L\([^ ]*\).*/\1/p' <<<"$flags") "$scratch/host/host-pkg-config"

# CMake's package.
cat >"$scratch/host/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(host LANGUAGES C)
find_package(textraster REQUIRED)
add_executable(host host.c)
target_link_libraries(host PRIVATE textraster::textraster)
CMAKE
cmake -S "$scratch/host" -B "$scratch/host/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/host/build" >/dev/null
"$scratch/host/build/host"
echo "installed and moved to $prefix: the tool runs; found by pkg-config and by find_package"
