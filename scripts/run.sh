#!/bin/sh
# Installs what is missing, builds the program and starts its window.
# Arguments are passed to the program (with arguments it runs without a
# window; see README.md).
set -eu
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUD_BUILD_BENCH=OFF
cmake --build build/release --target upgrade-devir

# Without WINEPREFIX, sample data for a trial: a demo Wine prefix whose
# drive C: holds the newest edition's data at ZEFIRTAK/KMX3/DATA, so the
# window's initial directory "C:\ZEFIRTAK\KMX3\DATA" finds it through the
# drive map, and an older edition's data at ZEFIRTAK/KMX2/DATA for a trial
# upgrade. Made once; delete demo/ to start again from fresh data. With
# WINEPREFIX set (the prefix the product is installed in), "C:\..." means
# that prefix's drive C: and the demo is left alone.
if [ -z "${WINEPREFIX:-}" ]; then
  if [ ! -d demo/wine/drive_c/ZEFIRTAK/KMX3/DATA ]; then
    cmake --build build/release --target make-sample-data
    mkdir -p demo/wine/dosdevices demo/wine/drive_c/ZEFIRTAK/KMX2
    ln -sfn ../drive_c demo/wine/dosdevices/c:
    build/release/tools/make-sample-data/make-sample-data \
      --newest demo/wine/drive_c/ZEFIRTAK/KMX3/DATA --older demo/wine/drive_c/ZEFIRTAK/KMX2/DATA
  fi
  export WINEPREFIX="$PWD/demo/wine"
  echo "Wine öneki: $WINEPREFIX (örnek veriler; gerçek veriler için WINEPREFIX'i ayarlayın)" >&2
else
  echo "Wine öneki: $WINEPREFIX" >&2
fi

exec build/release/src/main/upgrade-devir "$@"
