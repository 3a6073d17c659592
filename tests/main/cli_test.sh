#!/bin/sh
# The program's command line end to end: exit status and where each text goes.
# Usage: cli_test.sh PATH-TO-upgrade-devir
set -u
prog="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

# expect STATUS STREAM TEXT -- ARGS...: runs the program, checks its exit
# status and that TEXT is a line of STREAM (out or err).
expect() {
  status="$1" stream="$2" text="$3"
  shift 4
  env -u DISPLAY "$prog" "$@" >"$tmp/out" 2>"$tmp/err"
  got=$?
  if [ "$got" -ne "$status" ]; then
    echo "FAIL: upgrade-devir $*: exit $got, expected $status"; failures=$((failures + 1))
  elif ! grep -qxF -- "$text" "$tmp/$stream"; then
    echo "FAIL: upgrade-devir $*: no line '$text' on std$stream:"; cat "$tmp/out" "$tmp/err"
    failures=$((failures + 1))
  fi
}

mkdir -p "$tmp/data" "$tmp/old"
expect 0 out "Kullanım:" -- --help
expect 0 out "Örnek:" -- /?
expect 3 err "upgrade-devir: Bilinmeyen seçenek: --force" -- --devir --force
expect 3 err "Ayrıntılar için: upgrade-devir --help" -- --devir --force
expect 3 err "upgrade-devir: --from en çok dört rakamlı bir yıl ister: '20055'" -- \
  --devir --data "$tmp/data" --from 20055 --to 2006
expect 1 out "Pravex versiyonu için belirttiğiniz DATA dizini bulunamadı" -- \
  --devir --data "$tmp/nothere" --from 2005 --to 2006
expect 1 out "KMX Orvan veya Lumex versiyonu için belirttiğiniz DATA dizini bulunamadı" -- \
  --upgrade --old "$tmp\\yok" --data "$tmp/data"
# An empty data directory has no company registry.
expect 1 out "Pravex programının şirket bilgilerine ulaşılamadı." -- \
  --devir --data "$tmp/data" --from 2005 --to 2006

# --help fits an 80-column console: no line of 80 characters or more (UTF-8
# continuation bytes are not characters).
env -u DISPLAY "$prog" --help >"$tmp/help"
wide=$(LC_ALL=C tr -d '\200-\277' <"$tmp/help" | LC_ALL=C awk 'length > 79')
if [ -n "$wide" ]; then
  echo "FAIL: upgrade-devir --help: lines wider than 79 characters:"; echo "$wide"
  failures=$((failures + 1))
fi

# --version: one line, the about box's name and version.
version=$(env -u DISPLAY "$prog" --version)
case "$version" in
  "KMX Devir-Upgrade s"[0-9]*) ;;
  *) echo "FAIL: upgrade-devir --version: '$version'"; failures=$((failures + 1)) ;;
esac

[ "$failures" -eq 0 ] && echo "command line: all cases passed"
exit "$failures"
