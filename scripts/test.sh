#!/usr/bin/env bash
# Installs what is needed, checks that the set-up is complete, builds the
# library natively and for 32- and 64-bit Windows, and runs every test:
# natively, the Windows builds under Wine, the native tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the threads test under
# ThreadSanitizer, the soak's short form (TEXTRASTER_SOAK_SECONDS natively,
# 120 by default, half that on the DLL under Wine), and each fuzz target for
# a short while (TEXTRASTER_FUZZ_SECONDS, 60 by default). Every stage runs
# even when one before it failed; the last lines say how each went.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
textraster_install_test_packages
set +e

stages=() total_passed=0 total_failed=0

# stage name, passed, failed[, what failed]
record() {
  stages+=("$(printf '%-8s %4d passed, %d failed%s' "$1" "$2" "$3" "${4:+ ($4)}")")
  total_passed=$((total_passed + $2)) total_failed=$((total_failed + $3))
}

# Runs ctest in one build and records its counts.
run_ctest() {
  local name=$1 log="$TEXTRASTER_BUILD/$1-ctest.log"
  echo "== tests: $name"
  ctest --test-dir "$TEXTRASTER_BUILD/$name" --output-on-failure -LE symbols 2>&1 | tee "$log"
  local line failed total
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [[ -z $line ]]; then
    record "$name" 0 1 "ctest did not finish"
    return
  fi
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
  total=$(sed -E 's/.*failed out of ([0-9]+).*/\1/' <<<"$line")
  record "$name" $((total - failed)) "$failed" \
    "$(sed -n '/tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' "$log" | paste -sd' ' -)"
}

# Builds one build; records a failed stage when the build fails.
build() {
  local name=$1
  echo "== build: $name"
  textraster_build "$@" || { record "$name" 0 1 "build failed"; return 1; }
}

echo "== set-up check"
if "$TEXTRASTER_ROOT/scripts/check_setup.sh"; then record setup 1 0; else record setup 0 1 "see above"; fi

echo "== format"
if (cd "$TEXTRASTER_ROOT" && find include src tests tools gst bench fuzz -name '*.cpp' -o -name '*.h' |
      xargs clang-format-14 --dry-run --Werror); then
  record format 1 0
else
  record format 0 1 "clang-format-14 -i the files named above"
fi

# The benchmarks are built, so that they keep building, but not run: ctest
# knows nothing of them (bench/run.sh runs them). The 32-bit Windows build is
# a Release build, the way users most often build, so that it keeps building
# with optimisation's extra warnings.
all=(-DTEXTRASTER_TESTS=ON -DTEXTRASTER_TOOLS=ON)
build native "${all[@]}" -DTEXTRASTER_BENCH=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo && native_built=1
build win32 "${all[@]}" -DTEXTRASTER_BENCH=ON -DCMAKE_BUILD_TYPE=Release && win32_built=1
build win64 "${all[@]}" -DTEXTRASTER_BENCH=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo && win64_built=1
build asan -DTEXTRASTER_TESTS=ON -DTEXTRASTER_TOOLS=OFF -DTEXTRASTER_SANITIZE=address,undefined && asan_built=1
# ThreadSanitizer only for what it is about: calls from many threads at once.
echo "== build: tsan"
if cmake -S "$TEXTRASTER_ROOT" -B "$TEXTRASTER_BUILD/tsan" -G Ninja -DTEXTRASTER_WERROR=ON \
     -DTEXTRASTER_SANITIZE=thread -DTEXTRASTER_TOOLS=OFF >/dev/null &&
   cmake --build "$TEXTRASTER_BUILD/tsan" --target api_tests; then
  tsan_built=1
else
  record tsan 0 1 "build failed"
fi
textraster_wine_env

for name in native win32 win64 asan; do
  built=${name}_built
  [[ -n ${!built:-} ]] && run_ctest "$name"
done

if [[ -n ${tsan_built:-} ]]; then
  echo "== tests: threads under ThreadSanitizer"
  "$TEXTRASTER_ROOT/scripts/check_setup.sh" --fonts "$TEXTRASTER_BUILD/tsan/test-fonts.tsv" >/dev/null
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    "$TEXTRASTER_BUILD/tsan/bin/api_tests" --gtest_filter='Threads.*' 2>&1 | tee "$TEXTRASTER_BUILD/tsan.log"
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$TEXTRASTER_BUILD/tsan.log")
  failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$TEXTRASTER_BUILD/tsan.log")
  if [[ -z $passed && -z $failed ]]; then record tsan 0 1 "did not finish"; else record tsan "${passed:-0}" "${failed:-0}"; fi
fi

# What each library exports: the shared library's dynamic symbols and both
# DLLs' export tables (the tests labelled symbols), one count per library.
echo "== symbols"
symbols_passed=0 symbols_failed=()
for name in native win32 win64; do
  built=${name}_built
  [[ -n ${!built:-} ]] || continue
  if ctest --test-dir "$TEXTRASTER_BUILD/$name" -L symbols --output-on-failure; then
    symbols_passed=$((symbols_passed + 1))
  else
    symbols_failed+=("$name")
  fi
done
if ((symbols_passed + ${#symbols_failed[@]} == 0)); then
  record symbols 0 1 "no library built"
else
  record symbols "$symbols_passed" "${#symbols_failed[@]}" "${symbols_failed[*]}"
fi

# The Python module's tests (python/tests) with Debian's python3, on the
# native build's library and tool.
echo "== python"
if [[ -n ${native_built:-} ]]; then
  "$TEXTRASTER_ROOT/scripts/check_setup.sh" --fonts "$TEXTRASTER_BUILD/native/test-fonts.tsv" >/dev/null
  TEXTRASTER_NATIVE_BUILD="$TEXTRASTER_BUILD/native" PYTHONDONTWRITEBYTECODE=1 \
    TEXTRASTER_LIBRARY="$TEXTRASTER_BUILD/native/bin/libtextraster.so.0" \
    /usr/bin/python3 -m pytest -p no:cacheprovider -rf "$TEXTRASTER_ROOT/python/tests" 2>&1 |
    tee "$TEXTRASTER_BUILD/python.log"
  summary=$(grep -E '^=+ .*(passed|failed|error).* in [0-9.]+s' "$TEXTRASTER_BUILD/python.log" | tail -1)
  count() {
    local n
    n=$(grep -oE "[0-9]+ $1" <<<"$summary" | cut -d' ' -f1)
    echo "${n:-0}"
  }
  if [[ -z $summary ]]; then
    record python 0 1 "pytest did not finish"
  else
    record python "$(count passed)" $(($(count failed) + $(count error))) \
      "$(sed -n 's/^FAILED [^:]*::\([^ ]*\).*/\1/p' "$TEXTRASTER_BUILD/python.log" | paste -sd' ' -)"
  fi
else
  record python 0 1 "no native build"
fi

# The Debian packages (the library's and the GStreamer plugin's): made by
# CPack from a build for /usr, then installed with apt-get, used and removed
# on this machine.
echo "== deb"
if debs=$("$TEXTRASTER_ROOT/scripts/package_deb.sh"); then
  mapfile -t debs <<<"$debs"
  if "$TEXTRASTER_ROOT/tests/install/check_deb.sh" "$TEXTRASTER_BUILD/deb-check" "${debs[@]}"; then
    record deb 2 0
  else
    record deb 1 1 "installing, using or removing it: see above"
  fi
else
  record deb 0 1 "the package did not build"
fi

# The soak's short form: many threads drawing while fonts come and go, the
# same program natively and on the 32-bit DLL under Wine.
soak_seconds=${TEXTRASTER_SOAK_SECONDS:-120}
soak_passed=0 soak_failed=() soak_runs=()
[[ -n ${native_built:-} ]] && soak_runs+=("native $soak_seconds")
[[ -n ${win32_built:-} ]] && soak_runs+=("wine $((soak_seconds / 2))")
for run in "${soak_runs[@]}"; do
  read -r where seconds <<<"$run"
  if "$TEXTRASTER_ROOT/tests/soak/run.sh" "$seconds" "$where"; then
    soak_passed=$((soak_passed + 1))
  else
    soak_failed+=("$where")
  fi
done
if ((${#soak_runs[@]} == 0)); then
  record soak 0 1 "nothing built to run it on"
else
  record soak "$soak_passed" "${#soak_failed[@]}" "${soak_failed[*]}"
fi

echo "== fuzz targets"
"$TEXTRASTER_ROOT/fuzz/run.sh" "${TEXTRASTER_FUZZ_SECONDS:-60}" 2>&1 | tee "$TEXTRASTER_BUILD/fuzz.log"
fuzz_failed=$(grep -c 'FAULT FOUND' "$TEXTRASTER_BUILD/fuzz.log")
fuzz_passed=$(grep -cE '^[a-z_]+: [0-9]+ runs in' "$TEXTRASTER_BUILD/fuzz.log")
if ((fuzz_passed + fuzz_failed == 0)); then
  record fuzz 0 1 "the targets did not build"
else
  record fuzz "$fuzz_passed" "$fuzz_failed" "$(sed -n 's/^\([a-z_]*\): FAULT FOUND.*/\1/p' "$TEXTRASTER_BUILD/fuzz.log" | paste -sd' ' -)"
fi

echo
echo "== summary"
printf '%s\n' "${stages[@]}"
echo "$total_passed passed, $total_failed failed"
((total_failed == 0))
