#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the main job.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
textraster_install_packages

textraster_build native
textraster_build win32
textraster_build win64

echo "The command-line renderer is not built yet. Built artefacts:"
ls -l "$TEXTRASTER_BUILD"/native/bin/libtextraster.so* "$TEXTRASTER_BUILD"/win32/bin/textraster.dll \
  "$TEXTRASTER_BUILD"/win64/bin/textraster.dll
