#!/bin/sh
# The command-line program's redirected output as a Turkish Windows reads it
# with `type` or `more`: in the console's output code page or, with no
# console (as here under Wine), the OEM code page: 857 under a Turkish
# locale, 437 under the default one, where a missing letter reads "?". And
# --log's file: the same lines in UTF-8 after a byte-order mark.
# Usage: codepage_test.sh upgrade-devir.com
# Needs WINEPREFIX with a running wineserver (scripts/windows.sh).
set -u
com="$1"
work=$(mktemp -d "$PWD/codepage.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
turkish_locales="$work/locales"
. "$(dirname "$0")/../../support/turkish_wine.sh"
winlog='Z:'$(printf '%s' "$work/günlük.txt" | tr / '\\')

# --help, code page 857: decoded, it is the log's text.
turkish "$com" --help --log "$winlog" >"$work/help" 2>&1 </dev/null ||
  fail "--help --log: exit status $?"
[ "$(head -c 3 "$work/günlük.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
  fail "--log: no byte-order mark"
tail -c +4 "$work/günlük.txt" >"$work/help.log"
iconv -f CP857 -t UTF-8 "$work/help" >"$work/help.857" || fail "--help: not code page 857"
cmp -s "$work/help.857" "$work/help.log" ||
  fail "--help as code page 857 is not the log's text: $(diff "$work/help.857" "$work/help.log" | head)"
grep -qxF "Kullanım:" "$work/help.857" || fail "--help: no 'Kullanım:' in $(head -3 "$work/help.857")"
! grep -q "Kullanım" "$work/help" || fail "--help: written as UTF-8"

# A bad argument's reason on standard error: code page 857, then 437 (the
# OEM code page of Wine's default locale), which lacks "ı".
reason="upgrade-devir: --from en çok dört rakamlı bir yıl ister: '20055'"
# reasonIn CODEPAGE EXPECTED: checks the reason in $work/err, and the status.
reasonIn() {
  [ "$status" -eq 3 ] || fail "$1: exit status $status, expected 3"
  got=$(head -n 1 "$work/err" | iconv -f "$1" -t UTF-8)
  [ "$got" = "$2" ] || fail "$1: '$got', expected '$2'"
}
turkish "$com" --devir --data D --from 20055 --to 2006 >/dev/null 2>"$work/err" </dev/null
status=$?
reasonIn CP857 "$reason"
LC_ALL=C.UTF-8 wine "$com" --devir --data D --from 20055 --to 2006 >/dev/null 2>"$work/err" \
  </dev/null
status=$?
reasonIn CP437 "$(printf '%s' "$reason" | sed 's/ı/?/g')"

[ "$failures" -eq 0 ] && echo "redirected output: code pages 857 and 437, and the UTF-8 log"
exit "$failures"
