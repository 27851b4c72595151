#!/usr/bin/env bash
# Installs what is needed, builds the library natively and for 32- and 64-bit
# Windows, and runs every test: natively, the Windows builds under Wine, the
# native tests under AddressSanitizer and UndefinedBehaviorSanitizer, the
# threads test under ThreadSanitizer, and each fuzz target for a short while
# (TEXTRASTER_FUZZ_SECONDS, 60 by default).
set -euo pipefail
source "$(dirname "$0")/setup.sh"
textraster_install_packages

# The benchmarks are built, so that they keep building, but not run: ctest
# knows nothing of them (bench/run.sh runs them).
textraster_build native -DTEXTRASTER_BENCH=ON
textraster_build win32 -DTEXTRASTER_BENCH=ON
textraster_build win64 -DTEXTRASTER_BENCH=ON
textraster_build asan -DTEXTRASTER_SANITIZE=address,undefined -DTEXTRASTER_TOOLS=OFF
# ThreadSanitizer only for what it is about: calls from many threads at once.
cmake -S "$TEXTRASTER_ROOT" -B "$TEXTRASTER_BUILD/tsan" -G Ninja -DTEXTRASTER_SANITIZE=thread \
  -DTEXTRASTER_TOOLS=OFF >/dev/null
cmake --build "$TEXTRASTER_BUILD/tsan" --target api_tests
textraster_wine_env

status=0
for build in native win32 win64 asan; do
  echo "== tests: $build"
  ctest --test-dir "$TEXTRASTER_BUILD/$build" --output-on-failure || status=1
done
echo "== tests: threads under ThreadSanitizer"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  "$TEXTRASTER_BUILD/tsan/bin/api_tests" --gtest_filter='Threads.*' || status=1
echo "== fuzz targets"
"$TEXTRASTER_ROOT/fuzz/run.sh" "${TEXTRASTER_FUZZ_SECONDS:-60}" || status=1
exit $status
