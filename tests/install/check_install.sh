#!/usr/bin/env bash
# Installs a build into a fresh prefix, as a packager does with
# `cmake --install --prefix`, and builds a small host against it twice: with
# pkg-config and with CMake's find_package. Both must find the installed
# header and library where the prefix put them, whatever prefix the build
# was configured with.
#
#   check_install.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
build=$1 scratch=$2
rm -rf "$scratch"
prefix=$scratch/moved/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

mkdir -p "$scratch/host"
cat >"$scratch/host/host.c" <<'C'
#include <stdio.h>
#include <textraster.h>
int main(void) {
    uint8_t cell = 0;
    /* Any answer will do: the call links and runs. */
    int32_t code = GetFontCharacterCellHeight(NULL, 20, 0, &cell);
    printf("%d %u\n", (int)code, (unsigned)cell);
    return 0;
}
C

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
echo "installed into $prefix: found by pkg-config and by find_package"
