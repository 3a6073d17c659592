#!/bin/sh
# Two runs on one data directory through two Wine prefixes (two wineservers,
# as two Windows computers on a share would be): while the first holds the
# run lock (runlockholder.exe, in the test's prefix), the Windows program in
# a second, fresh prefix stops at once with the message that names the
# holder's computer, user, process and start time. The second run starts
# once the first holds the lock (a ready file), not after a delay.
# Usage: runlock_prefixes_test.sh upgrade-devir.exe runlockholder.exe make-sample-data.exe
set -u
program="$1" holder="$2" samples="$3"
work=$(mktemp -d)
second="$work/prefix2"
cleanup() {
  : >"$work/ctl/stop"
  wait
  WINEPREFIX="$second" wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
mkdir -p "$work/ctl"
trap cleanup EXIT
winpath() {
  printf 'Z:%s' "$1" | tr / '\\'
}
data="$(winpath "$work/DATA")"
# The program runs as on a Turkish Windows; its output is decoded to be read.
turkish_locales="$work/locales"
. "$(dirname "$0")/../support/turkish_wine.sh"
# Every Wine start's output goes to a file: a Wine service it starts would
# keep ctest's pipe open after the test.
wine "$samples" --newest "$data" >/dev/null 2>&1 || { echo "FAIL: no sample data"; exit 1; }
wine "$holder" "$data" "$(winpath "$work/ctl")" >/dev/null 2>&1 &
for _ in $(seq 1 600); do [ -e "$work/ctl/ready" ] && break; sleep 0.1; done
[ -e "$work/ctl/ready" ] || { echo "FAIL: the first run did not take the lock"; exit 1; }

WINEPREFIX="$second" wine wineboot -i >/dev/null 2>&1
WINEPREFIX="$second" LOCPATH="$turkish_locales" LC_ALL=tr_TR.UTF-8 wine "$program" --devir --data "$data" --from 2005 --to 2006 \
  --companies all >"$work/out" 2>"$work/err"
status=$?
decode "$work/out" "$work/err"
if [ "$status" -ne 1 ] ||
   ! grep -qF "$data dizininde başka bir Upgrade-Devir işlemi çalışıyor." "$work/out" ||
   grep -qF ": ?" "$work/out" || ! grep -qF "Bilgisayar: " "$work/out"; then
  echo "FAIL: the run through the second prefix: exit $status"; cat "$work/out" "$work/err"
  exit 1
fi
if ls -d "$work/DATA"/2006_* >/dev/null 2>&1; then
  echo "FAIL: the refused run created a company"; exit 1
fi
echo "run lock across two Wine prefixes: refused, the holder named:"; head -n 2 "$work/out"
