#!/usr/bin/env bash
# Builds the Debian package: a Release build for /usr in build/deb (the
# library, the tool and the Python module; no tests), then CPack's DEB
# generator (cmake/debian_package.cmake). Prints the package's path.
#
#   scripts/package_deb.sh     # then: apt-get install ./build/deb/textraster_*.deb
set -euo pipefail
source "$(dirname "$0")/setup.sh"
textraster_build deb -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=Release -DTEXTRASTER_TESTS=OFF \
  -DTEXTRASTER_TOOLS=ON -DTEXTRASTER_PYTHON=ON >&2
rm -f "$TEXTRASTER_BUILD"/deb/textraster_*.deb
(cd "$TEXTRASTER_BUILD/deb" && cpack -G DEB >&2)
ls "$TEXTRASTER_BUILD"/deb/textraster_*.deb
