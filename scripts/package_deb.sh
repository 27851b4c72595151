#!/usr/bin/env bash
# Builds the Debian packages: a Release build for /usr in build/deb (the
# library, the tool, the Python module and the GStreamer plugin; no tests),
# then CPack's DEB generator (cmake/debian_package.cmake). Prints their
# paths, the library's package first: textraster, and
# gstreamer1.0-textraster when GStreamer's development packages are
# installed.
#
#   scripts/package_deb.sh     # then: apt-get install ./build/deb/*textraster_*.deb
set -euo pipefail
source "$(dirname "$0")/setup.sh"
textraster_build deb -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=Release -DTEXTRASTER_TESTS=OFF \
  -DTEXTRASTER_TOOLS=ON -DTEXTRASTER_PYTHON=ON >&2
rm -f "$TEXTRASTER_BUILD"/deb/*textraster_*.deb
(cd "$TEXTRASTER_BUILD/deb" && cpack -G DEB >&2)
ls "$TEXTRASTER_BUILD"/deb/textraster_*.deb
ls "$TEXTRASTER_BUILD"/deb/gstreamer1.0-textraster_*.deb 2>/dev/null || true
