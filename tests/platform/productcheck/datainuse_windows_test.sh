#!/bin/sh
# The Windows program under Wine against a stand-in database engine session
# (fakebde.exe) in the same prefix: while the session holds its lock files
# in a company directory, and then while it holds the company's Cari.DB, a
# headless --devir stops with the "in use" message (exit 1) and writes
# nothing; once the session has ended, its lock files left behind, the same
# run goes through and copies no lock file.
# Usage: datainuse_windows_test.sh upgrade-devir.exe fakebde.exe make-sample-data.exe
set -u
program="$1" bde="$2" samples="$3"
work=$(mktemp -d)
cleanup() {
  for c in "$work"/ctl*; do [ -d "$c" ] && : >"$c/stop"; done
  wait
  rm -rf "$work"
}
trap cleanup EXIT
winpath() {
  printf 'Z:%s' "$1" | tr / '\\'
}
data="$(winpath "$work/DATA")"
# The program runs as on a Turkish Windows; its output is decoded to be read.
turkish_locales="$work/locales"
. "$(dirname "$0")/../../support/turkish_wine.sh"
# Every Wine start's output goes to a file: a Wine service it starts would
# keep ctest's pipe open after the test.
wine "$samples" --newest "$data" >/dev/null 2>&1 || { echo "FAIL: no sample data"; exit 1; }
code=$(cd "$work/DATA" && ls -d 2005_* | head -n 1)
cari=$(ls "$work/DATA/$code" | grep -i '^cari\.db$')
[ -n "$code" ] && [ -n "$cari" ] || { echo "FAIL: no 2005 company with a Cari table"; exit 1; }

# session CONTROL [FILE]: the stand-in holds the company's lock files, or FILE.
session() {
  mkdir -p "$1"
  wine "$bde" "$(winpath "$1")" "$data\\$code" ${2:+"$2"} >/dev/null 2>&1 &
  for _ in $(seq 1 600); do [ -e "$1/ready" ] && return 0; sleep 0.1; done
  echo "FAIL: the stand-in session did not start"; exit 1
}
endSession() {
  : >"$1/stop"
  for _ in $(seq 1 300); do [ -e "$1/done" ] && break; sleep 0.1; done
  wait
}
hashes() {
  # The run's own lock file (hidden, left by every run) aside.
  (cd "$work/DATA" && find . -type f ! -name .upgrade-devir.lock -exec sha256sum {} + | sort)
}
failures=0
# expectStop CONTROL FILE-NAMED
expectStop() {
  hashes >"$work/before"
  turkish "$program" --devir --data "$data" --from 2005 --to 2006 --companies all \
    >"$work/out" 2>"$work/err"
  status=$?
  decode "$work/out" "$work/err"
  if [ "$status" -ne 1 ] ||
     ! grep -qF "Veriler başka bir programda açık: $data\\$code ($2). Ürünü bütün bilgisayarlarda kapatınız." "$work/out"; then
    echo "FAIL: with $2 held: exit $status"; cat "$work/out" "$work/err"
    failures=1
  fi
  hashes >"$work/after"
  if ! cmp -s "$work/before" "$work/after"; then
    echo "FAIL: files changed while $2 was held"; diff "$work/before" "$work/after"
    failures=1
  fi
}

session "$work/ctl1"
expectStop "$work/ctl1" PARADOX.LCK
endSession "$work/ctl1"
session "$work/ctl2" "$cari"
expectStop "$work/ctl2" "$cari"
endSession "$work/ctl2"

[ -e "$work/DATA/$code/PDOXUSRS.LCK" ] || { echo "FAIL: the session's lock files are gone"; failures=1; }
turkish "$program" --devir --data "$data" --from 2005 --to 2006 --companies all \
  >"$work/out" 2>"$work/err"
status=$?
decode "$work/out" "$work/err"
if [ "$status" -ne 0 ] || ! grep -qxF "İşlem tamamlandı" "$work/out"; then
  echo "FAIL: the run after the session ended:"; cat "$work/out" "$work/err"
  failures=1
fi
if ls "$work/DATA"/2006_*/ 2>/dev/null | grep -qi '\.lck$'; then
  echo "FAIL: a lock file was copied into a new company"; failures=1
fi
[ "$failures" -eq 0 ] && echo "data in use under Wine: the runs stopped, wrote nothing, then went through"
exit "$failures"
