#!/bin/sh
# Cross-builds the Windows programs without Qt (upgrade-devir.exe, the
# window program, and upgrade-devir.com, the command-line program, from the
# same objects; pdxtool.exe and the test programs) and the setup program
# (build/windows/installer/upgrade-devir-VERSION-kurulum.exe, with Debian's
# nsis) into build/windows with MinGW-w64, and runs the tests under Wine in a
# fresh prefix under build/ (one per run; Wine sets a prefix up in tens of
# seconds; the setup program's test makes one more of its own).
#
#   scripts/windows.sh               build and test
#   scripts/windows.sh --build-only  build only
#   scripts/windows.sh -R carry      build, then only the tests matching
#                                    "carry" (any ctest option works)
#
# Without ctest options it ends with scripts/windows-e2e.sh against the Linux
# build in $UD_LINUX_BUILD (default build/release).
set -eu
cd "$(dirname "$0")/.."

# Wine needs a display for the stand-in product's window; the prefix is set
# up under it so that every program of the run shares that display.
if [ -z "${DISPLAY:-}" ] && [ "${1:-}" != "--build-only" ] && command -v xvfb-run >/dev/null 2>&1; then
  exec xvfb-run -a "$PWD/scripts/windows.sh" "$@"
fi

JOBS="${JOBS:-2}"
dir=build/windows
launcher=""
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
  launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi

if ! command -v makensis >/dev/null 2>&1; then
  echo "makensis not found: the setup program needs Debian's nsis (scripts/deps.sh installs it)" >&2
  exit 1
fi
echo "=== $dir: configure and build (MinGW-w64, no Qt)"
# shellcheck disable=SC2086
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DUD_BUILD_GUI=OFF -DUD_BUILD_BENCH=OFF $launcher
cmake --build "$dir" -j "$JOBS"
ls -l "$dir/src/main/upgrade-devir.exe" "$dir/src/main/upgrade-devir.com" \
  "$dir/tools/pdxtool/pdxtool.exe" "$dir"/installer/upgrade-devir-*-kurulum.exe
[ "${1:-}" = "--build-only" ] && exit 0

export WINEPREFIX="$PWD/build/wine-$$"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT INT TERM
echo "=== $dir: a fresh Wine prefix ($WINEPREFIX)"
mkdir -p "$WINEPREFIX"
wineserver -p  # one server for every test program of the run
wine wineboot -i >/dev/null 2>&1 || true  # its status says nothing useful
status=0
echo "=== $dir: tests under Wine"
ctest --test-dir "$dir" --output-on-failure -j "$JOBS" "$@" || status=1

# The same runs on both systems write the same bytes; needs the Linux build
# (scripts/test.sh makes build/release first).
linux="${UD_LINUX_BUILD:-build/release}"
if [ $# -gt 0 ]; then
  :  # a chosen part of the tests only
elif [ -x "$linux/src/main/upgrade-devir" ] && [ -x "$linux/tools/make-sample-data/make-sample-data" ]; then
  echo "=== end to end: $linux and $dir on the sample data directories"
  scripts/windows-e2e.sh "$linux" "$dir" || status=1
else
  echo "=== end to end: SKIPPED, no Linux build in $linux (UD_LINUX_BUILD names another)"
fi
exit "$status"
