#!/usr/bin/env bash
# Takes PNGs of the main window (as it starts, with both panels open, and
# during a run), a message box, the folder dialog, the company selection
# dialog, the report window, the help window and the about box under a
# virtual X server
# (xvfb-run), as a person would see them. The PNGs go to screenshots/ (ignored by git) or to the
# folder given as the first argument.
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
