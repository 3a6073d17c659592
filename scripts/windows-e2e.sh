#!/bin/sh
# The same runs on both systems must write the same bytes: carries the
# sample data directories forward, brings late entries of the old year over
# with an opening update, and upgrades them with the Linux build and,
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
# Late entries in the old year after the carry, the same on both trees,
# brought over by an opening update.
late_entries() {
  pdxtool="$linux/tools/pdxtool/pdxtool"
  "$pdxtool" set "$1/GÜNCEL VERİ/2005_001/Cari.DB" --filter "CARIKODU = '120.01'" KTBKY=600000 >/dev/null
  "$pdxtool" set "$1/GÜNCEL VERİ/2005_002/Stok.DB" --filter "STOKKODU = 'ST-002'" MIKKAL=25 >/dev/null
}
late_entries "$work/linux"
run_linux --refresh-openings --data "$work/linux/GÜNCEL VERİ" --from 2005 --to 2006
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
late_entries "$work/windows"
run_windows --refresh-openings --data "$(winpath "$work/windows/GÜNCEL VERİ")" --from 2005 --to 2006
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
  # The opening update's backups, one per company, named with their time.
  stamp='_20[0-9]\{6\}_[0-9]\{6\}'
  for d in "$data"/UD_YEDEK_GUNCELLEME_*; do
    mv "$d" "$(printf '%s' "$d" | sed "s/$stamp\$//")"
  done
  mv "$data"/UD_YEDEK_20* "$data/UD_YEDEK"
  for f in "$data/Devir Raporları"/*; do
    sed -e 's/20[0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9:]*/DATE/g' \
      -e "s/\(UD_YEDEK_GUNCELLEME_[^ ;<\"]*\)$stamp/\1/g" "$f" > "$f.n"
    rm "$f"
    mv "$f.n" "$(printf '%s' "$f" | sed 's/\(Devir\|Güncellemesi\) 20[0-9-]* [0-9]* /\1 DATE /')"
  done
}
normalize "$work/linux"
normalize "$work/windows"
if ! diff -r "$work/linux" "$work/windows" >&2; then
  echo "The Windows run wrote other bytes than the Linux run" >&2
  exit 1
fi
tables=$(find "$work/windows" -type f | wc -l)
echo "end to end: $tables files identical after --devir, --refresh-openings and --upgrade on both systems"
echo "(last message of both: $(tail -n 1 "$work/windows.log"))"
