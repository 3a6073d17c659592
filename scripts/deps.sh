#!/bin/sh
# Installs the Debian packages the build, the program and the tests need;
# does nothing when every one of them is already installed.
set -eu

# wine, wine64 and gcc-mingw-w64-x86-64: the product check under Wine runs
# a small Win32 program of ours (cross-built) through Wine, and its test
# starts a stand-in product under Wine.
PACKAGES="build-essential cmake ninja-build qt6-base-dev qt6-qpa-plugins libgtest-dev \
libgmock-dev libbenchmark-dev pxlib-dev libjpeg-dev libx11-dev xvfb xauth clang \
libclang-rt-14-dev fonts-liberation2 wine wine64 gcc-mingw-w64-x86-64"
# Qt's Turkish texts, the heavy face of the title, and what the .deb is built with.
PACKAGES="$PACKAGES qt6-translations-l10n fonts-lato dpkg-dev"
# The Windows build (scripts/windows.sh): MinGW-w64's C++ compiler with POSIX
# threads, and GoogleTest's sources to cross-build; its tests run under wine64.
PACKAGES="$PACKAGES g++-mingw-w64-x86-64-posix googletest"
# The Windows setup program (installer/upgrade-devir.nsi): makensis. The
# Turkish locale's definition, which the Windows tests compile to run the
# programs under Wine as on a Turkish Windows (tests/support/turkish_wine.sh).
PACKAGES="$PACKAGES nsis locales"
# The stand-in file share of the tests and benchmarks (tests/support/share):
# a FUSE file system built on libfuse 3, found through pkg-config.
PACKAGES="$PACKAGES fuse3 libfuse3-dev pkg-config"
# The office benchmark (bench/office_bench.py) counts system calls with strace.
PACKAGES="$PACKAGES strace"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1; then
  SUDO="sudo"
else
  echo "Missing packages:$missing; run this as root or install sudo." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086
$SUDO apt-get install -y $PACKAGES
