#!/bin/sh
# The same runs on both systems must write the same bytes: carries the
# sample data directories forward and upgrades them with the Linux build and,
# on copies, with upgrade-devir.com, the command-line program, under Wine
# (the directories reached as Z:\... with Turkish letters in their names,
# typed as a Windows user would), then compares the two trees byte for byte.
#
#   scripts/windows-e2e.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
# Needs WINEPREFIX set to a prefix whose wineserver runs (scripts/windows.sh).
set -eu
linux="$1"
windows="$2"
work="$PWD/$windows/e2e"
rm -rf "$work"
mkdir -p "$work/src"

"$linux/tools/make-sample-data/make-sample-data" \
  --newest "$work/src/GÜNCEL VERİ" --older "$work/src/ESKİ VERİ"
cp -a "$work/src" "$work/linux"
cp -a "$work/src" "$work/windows"

# Linux: no Wine prefix to ask about the product.
run_linux() {
  if ! WINEPREFIX="$work/no-prefix" "$linux/src/main/upgrade-devir" "$@" >> "$work/linux.log" 2>&1; then
    cat "$work/linux.log" >&2
    exit 1
  fi
}
run_linux --devir --data "$work/linux/GÜNCEL VERİ" --from 2005 --to 2006 --ytl --companies all
run_linux --upgrade --old "$work/linux/ESKİ VERİ" --data "$work/linux/GÜNCEL VERİ"

# Windows: the same directories as Z:\ paths with backslashes.
winpath() {
  printf 'Z:%s' "$1" | tr / '\\'
}
# A Turkish Windows: redirected, the program writes in the OEM code page, 857
# (there is no console here); its output is decoded before it is compared.
turkish_locales="$work/locales"
. "$(dirname "$0")/../tests/support/turkish_wine.sh"
run_windows() {
  if ! turkish "$windows/src/main/upgrade-devir.com" "$@" >> "$work/windows.857" 2>&1; then
    iconv -f CP857 -t UTF-8 "$work/windows.857" >&2
    exit 1
  fi
  iconv -f CP857 -t UTF-8 "$work/windows.857" > "$work/windows.log"
}
run_windows --devir --data "$(winpath "$work/windows/GÜNCEL VERİ")" --from 2005 --to 2006 --ytl \
  --companies all
run_windows --upgrade --old "$(winpath "$work/windows/ESKİ VERİ")" \
  --data "$(winpath "$work/windows/GÜNCEL VERİ")"

# The messages name the directories as typed, so they differ; the last
# line of each run is the same.
if [ "$(tail -n 1 "$work/linux.log")" != "$(tail -n 1 "$work/windows.log")" ]; then
  echo "The two runs ended differently:" >&2
  tail -n 3 "$work/linux.log" "$work/windows.log" >&2
  exit 1
fi
# What differs by nature: the run lock's holder (host, process, start time)
# and the time in the names and texts of the kept copies and the reports.
# Both runs must have made each; then the times are taken out.
normalize() {
  data="$1/GÜNCEL VERİ"
  if [ ! -f "$data/.upgrade-devir.lock" ] || [ ! -d "$data/Devir Raporları" ] ||
    ! ls -d "$data"/UD_YEDEK_* >/dev/null 2>&1; then
    echo "The run in $1 left no run lock, kept copy or report" >&2
    exit 1
  fi
  rm "$data/.upgrade-devir.lock"
  mv "$data"/UD_YEDEK_* "$data/UD_YEDEK"
  for f in "$data/Devir Raporları"/*; do
    sed 's/20[0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9:]*/DATE/g' "$f" > "$f.n"
    rm "$f"
    mv "$f.n" "$(printf '%s' "$f" | sed 's/Devir 20[0-9-]* [0-9]* /Devir DATE /')"
  done
}
normalize "$work/linux"
normalize "$work/windows"
if ! diff -r "$work/linux" "$work/windows" >&2; then
  echo "The Windows run wrote other bytes than the Linux run" >&2
  exit 1
fi
tables=$(find "$work/windows" -type f | wc -l)
echo "end to end: $tables files identical after --upgrade and --devir on both systems"
echo "(last message of both: $(tail -n 1 "$work/windows.log"))"
