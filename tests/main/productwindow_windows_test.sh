#!/bin/sh
# The Windows program under Wine: while a window of the product's class is
# open (fakeproduct.exe), a headless --devir stops with the product message
# and writes nothing; once it has closed, the same run goes through.
# Usage: productwindow_windows_test.sh upgrade-devir.exe fakeproduct.exe
#        ud-findwindow.exe make-sample-data.exe
# Needs a display (scripts/windows.sh runs Wine under xvfb-run).
set -u
program="$1" fake="$2" find="$3" samples="$4"
if [ -z "${DISPLAY:-}" ]; then
  echo "SKIPPED: no display for the stand-in product's window"
  exit 0
fi
work=$(mktemp -d)
fakepid=""
cleanup() {
  [ -n "$fakepid" ] && kill "$fakepid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
winpath() {
  printf 'Z:%s' "$1" | tr / '\\'
}
data="$(winpath "$work/DATA")"
# The program runs as on a Turkish Windows; its output is decoded to be read.
turkish_locales="$work/locales"
. "$(dirname "$0")/../support/turkish_wine.sh"
wine "$samples" --newest "$data" >/dev/null || { echo "FAIL: no sample data"; exit 1; }
hashes() {
  (cd "$work" && find . -type f -exec sha256sum {} + | sort)
}
hashes > "$work.before"

wine "$fake" &
fakepid=$!
up=0
for _ in $(seq 1 60); do
  if wine "$find"; then up=1; break; fi
  sleep 1
done
[ "$up" = 1 ] || { echo "FAIL: the stand-in product's window did not appear"; exit 1; }

turkish "$program" --devir --data "$data" --from 2005 --to 2006 --companies all \
  >"$work.out" 2>"$work.err"
status=$?
decode "$work.out" "$work.err"
failures=0
if [ "$status" -ne 1 ] ||
   ! grep -qF "Devir işlemini başlatmadan önce açık olan tüm KMX programlarını kapatınız" "$work.out"; then
  echo "FAIL: with the product open: exit $status"; cat "$work.out" "$work.err"
  failures=1
fi
hashes > "$work.after"
if ! cmp -s "$work.before" "$work.after"; then
  echo "FAIL: files changed while the product was open"; diff "$work.before" "$work.after"
  failures=1
fi

kill "$fakepid"; wait "$fakepid" 2>/dev/null; fakepid=""
for _ in $(seq 1 30); do
  wine "$find" || break
  sleep 1
done
turkish "$program" --devir --data "$data" --from 2005 --to 2006 --companies all \
  >"$work.out" 2>"$work.err"
status=$?
decode "$work.out" "$work.err"
if [ "$status" -ne 0 ] || ! grep -qxF "İşlem tamamlandı" "$work.out"; then
  echo "FAIL: the run after the product closed:"; cat "$work.out" "$work.err"
  failures=1
fi
rm -f "$work.before" "$work.after" "$work.out" "$work.err"
[ "$failures" -eq 0 ] && echo "product window under Wine: the run stopped, wrote nothing, then went through"
exit "$failures"
