#!/usr/bin/env bash
# Installs what is needed, builds the library natively and for 32- and 64-bit
# Windows, and runs every test: natively, and the Windows builds under Wine.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
textraster_install_packages

# The benchmarks are built, so that they keep building, but not run: ctest
# knows nothing of them (bench/run.sh runs them).
textraster_build native -DTEXTRASTER_BENCH=ON
textraster_build win32 -DTEXTRASTER_BENCH=ON
textraster_build win64 -DTEXTRASTER_BENCH=ON
textraster_wine_env

status=0
for build in native win32 win64; do
  echo "== tests: $build"
  ctest --test-dir "$TEXTRASTER_BUILD/$build" --output-on-failure || status=1
done
exit $status
