#!/bin/sh
# Installs what is missing, builds the program and starts its window.
# Arguments are passed to the program (with arguments it runs without a
# window; see README.md).
set -eu
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUD_BUILD_BENCH=OFF
cmake --build build/release --target upgrade-devir

# --- sample data hook -------------------------------------------------------
# When the sample-data tool is wired in, create the demo data here and point
# the program's drive map at it, e.g.:
#   build/release/tools/make-sample-data/make-sample-data demo/wine
#   export WINEPREFIX="$PWD/demo/wine"
# Until then the program starts with its initial values.
# -----------------------------------------------------------------------------

exec build/release/src/main/upgrade-devir "$@"
