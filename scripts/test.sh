#!/bin/sh
# Installs what is missing, builds everything twice (a normal build and one
# with AddressSanitizer and UndefinedBehaviorSanitizer) and runs every test in
# both; between them the Windows build runs its tests under Wine
# (scripts/windows.sh). Widget tests run on Qt's offscreen platform; the X11 test runs under
# xvfb-run (ctest starts it that way). Exits non-zero when any test fails.
set -eu
cd "$(dirname "$0")/.."

scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
JOBS="${JOBS:-$(nproc)}"

status=0
run_suite() {
  dir="$1"
  shift
  echo "=== $dir: configure and build"
  cmake -S . -B "$dir" -G Ninja "$@"
  # Build what can be built (-k 0) so that one broken target does not hide
  # the results of every other test; the run still fails.
  if ! cmake --build "$dir" -j "$JOBS" -- -k 0; then
    echo "=== $dir: build FAILED" >&2
    status=1
  fi
  echo "=== $dir: tests"
  if ! ctest --test-dir "$dir" --output-on-failure -j "$JOBS"; then
    status=1
  fi
}

run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The Debian package: built, installed with apt-get and started through its
# desktop entry.
echo "=== package: build, install and start the .deb"
if ! scripts/package_test.sh build/release; then
  status=1
fi

# The Windows programs without Qt, cross-built with MinGW-w64 and tested
# under Wine, then compared end to end with build/release; WINDOWS=0 skips.
if [ "${WINDOWS:-1}" != 0 ]; then
  if ! UD_LINUX_BUILD=build/release JOBS="$JOBS" scripts/windows.sh; then
    echo "=== windows: FAILED" >&2
    status=1
  fi
fi
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" \
LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}" \
UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}" \
  run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DUD_SANITIZE=ON -DUD_BUILD_BENCH=OFF

# A short fuzzing run of every file reader (libFuzzer with the sanitizers),
# the time shared among the targets, from the corpus kept in fuzz/corpus and
# the sample seeds; FUZZ_SECONDS=0 skips it. A fault names its reproducer on
# the last lines of the log.
FUZZ_SECONDS="${FUZZ_SECONDS:-60}"
if [ "$FUZZ_SECONDS" -gt 0 ]; then
  echo "=== fuzz: every target, $FUZZ_SECONDS s in all"
  if fuzz/smoke.sh "$FUZZ_SECONDS" > build/fuzz.log 2>&1; then
    grep -E "^=== [a-z_]+ for|^Done [0-9]+ runs" build/fuzz.log || true
  else
    tail -n 40 build/fuzz.log
    echo "=== fuzz FAILED (build/fuzz.log)" >&2
    status=1
  fi
fi

if [ "$status" -eq 0 ]; then
  echo "=== all tests passed (normal, Windows under Wine and sanitizer builds, fuzz run)"
else
  echo "=== some tests FAILED" >&2
fi
exit "$status"
