#!/usr/bin/env bash
# Takes PNGs of the main window (as it starts, with both panels open, and
# during a run), a message box, the folder dialog, the company selection
# dialog, the report window (a reconciliation report, and as the home of the
# after-carry actions), the help window and the about box under a
# virtual X server
# (xvfb-run), as a person would see them. The PNGs go to screenshots/ (ignored by git) or to the
# folder given as the first argument.
#
# When the MinGW-w64 cross compiler and Wine are installed, the same windows
# of the Windows build follow: cross-built in build/windows-shots (or
# build/windows when it exists), run under Wine in a fresh prefix, once in
# Wine's default look, its Light theme (win32-*.png), and once with visual
# styles off, the classic look (win32-*-classic.png), beside the Qt PNGs.
#
#   scripts/screenshots.sh [folder]
#   BUILD_DIR=build/mine scripts/screenshots.sh    # reuse a build directory
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build/screenshots}"
out="${1:-$root/screenshots}"

for tool in cmake ninja xvfb-run; do
  command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is needed" >&2; exit 1; }
done

if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DUD_BUILD_BENCH=OFF >/dev/null
fi
ninja -C "$build" ui-screenshots
mkdir -p "$out"

# A 24-bit screen large enough for every window; -a picks a free display.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  env QT_QPA_PLATFORM=xcb "$build/tests/main/window/ui-screenshots" "$out"

# The Windows windows under Wine, when the tools are there.
if ! command -v x86_64-w64-mingw32-g++ >/dev/null || ! command -v wine >/dev/null; then
  echo "screenshots.sh: no MinGW-w64 or Wine, so no Windows screenshots" >&2
  exit 0
fi
winbuild="${WIN_BUILD_DIR:-}"
if [[ -z "$winbuild" ]]; then
  winbuild="$root/build/windows-shots"
  [[ -f "$root/build/windows/build.ninja" ]] && winbuild="$root/build/windows"
fi
if [[ ! -f "$winbuild/build.ninja" ]]; then
  launcher=()
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$root" -B "$winbuild" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DUD_BUILD_GUI=OFF -DUD_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
fi
ninja -C "$winbuild" ui-screenshots-win32
program="$winbuild/tests/main/win32/screenshots/ui-screenshots-win32.exe"

export WINEPREFIX="$root/build/wine-shots-$$"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shots="$WINEPREFIX/shots"
cleanup() { rm -rf "$WINEPREFIX"; }
trap cleanup EXIT INT TERM
mkdir -p "$WINEPREFIX"

# One run of the program in the prefix, its PNGs renamed into $out with the
# win32- prefix and the given suffix. Wine paints the windows' frames and
# captions itself only when it does not leave them to a window manager
# (Decorated=N); xvfb-run has none.
run_windows() {
  local suffix="$1" theme="$2"
  rm -rf "$shots"
  xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    wineserver -p
    wine wineboot -i >/dev/null 2>&1
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    # A new prefix of Wine 8 has its Light theme on: "classic" turns visual
    # styles off, the look of Windows without themes.
    if [ "$2" = classic ]; then
      key="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager"
      wine reg add "$key" /v ThemeActive /t REG_SZ /d 0 /f >/dev/null 2>&1
    fi
    status=0
    timeout 300 wine "$0" "$(winepath -w "$1")" || status=$?
    wineserver -k
    exit $status' "$program" "$shots" "$theme"
  for png in "$shots"/*.png; do
    local name
    name="$(basename "$png" .png)"
    mv "$png" "$out/win32-$name$suffix.png"
    echo "$out/win32-$name$suffix.png"
  done
}
run_windows "" light
run_windows "-classic" classic
