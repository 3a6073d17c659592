#!/bin/sh
# The two Windows programs: upgrade-devir.com is a console program and
# upgrade-devir.exe a window program (the PE subsystem: 3 and 2), and given
# the same jobs on the sample data they end with the same statuses and write
# the same standard output and error (the .exe to the handles it inherited).
# Usage: programs_test.sh upgrade-devir.com upgrade-devir.exe make-sample-data.exe
# Needs WINEPREFIX with a running wineserver (scripts/windows.sh).
set -u
com="$1" exe="$2" samples="$3"
work=$(mktemp -d "$PWD/programs.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
# The programs run as on a Turkish Windows; their output is decoded to be read.
turkish_locales="$work/locales"
. "$(dirname "$0")/../../support/turkish_wine.sh"
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The optional header's Subsystem field: 2 a window program, 3 a console one.
subsystem() {
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tu2 -j$((pe + 92)) -N2 "$1" | tr -d ' '
}
[ "$(subsystem "$com")" = 3 ] || fail "$com is not a console program"
[ "$(subsystem "$exe")" = 2 ] || fail "$exe is not a window program"

data='Z:'$(printf '%s' "$work/VERI" | tr / '\\')
# The jobs, one per line: its name, the status both must end with, its
# arguments (DATA stands for the data directory).
cat >"$work/jobs" <<'JOBS'
help 0 --help
version 0 --version
unknown 3 --devir --xyz
noyear 1 --devir --data DATA --from 1999 --to 2000
dry 0 --devir --data DATA --from 2005 --to 2006 --ytl --dry-run
carry 0 --devir --data DATA --from 2005 --to 2006 --ytl --companies all
again 1 --devir --data DATA --from 2005 --to 2006 --companies all
JOBS
# runs PROGRAM NAME: every job on fresh sample data, outputs in work/NAME.
runs() {
  program="$1" name="$2"
  rm -rf "$work/VERI"
  wine "$samples" --newest "$data" >/dev/null </dev/null || fail "no sample data"
  mkdir -p "$work/$name"
  while read -r job status args; do
    set -f
    # shellcheck disable=SC2086
    set -- $args
    set +f
    n=$#
    for word in "$@"; do
      [ "$word" = DATA ] && word=$data
      set -- "$@" "$word"
    done
    shift "$n"
    turkish "$program" "$@" >"$work/$name/$job.out" 2>"$work/$name/$job.err" </dev/null
    echo "$?" >"$work/$name/$job.status"
    decode "$work/$name/$job.out" "$work/$name/$job.err"
  done <"$work/jobs"
  # The reports' file names and texts carry the time of the run, the dry
  # run the disk's free space.
  for f in "$work/$name"/*.out "$work/$name"/*.err; do
    sed 's/20[0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9:]*/DATE/g; s/boş alan: .*/boş alan: N/' "$f" \
      >"$f.n" && mv "$f.n" "$f"
  done
}
runs "$com" com
runs "$exe" exe

while read -r job status args; do
  [ "$(cat "$work/com/$job.status")" = "$status" ] ||
    fail "upgrade-devir.com $args: exit $(cat "$work/com/$job.status"), expected $status"
  for part in status out err; do
    cmp -s "$work/com/$job.$part" "$work/exe/$job.$part" ||
      fail "$job: the .exe's $part differs from the .com's:" \
        "$(diff "$work/com/$job.$part" "$work/exe/$job.$part" | head -20)"
  done
done <"$work/jobs"
# The headless texts of an empty selection.
grep -qxF "1999 yılına ait şirket bulunamadı" "$work/com/noyear.out" ||
  fail "noyear: $(cat "$work/com/noyear.out")"
grep -qxF "2005 yılının bütün şirketleri 2006 yılına devredilmiş" "$work/com/again.out" ||
  fail "again: $(cat "$work/com/again.out")"
grep -qxF "İşlem tamamlandı" "$work/com/carry.out" || fail "carry: $(cat "$work/com/carry.out")"

[ "$failures" -eq 0 ] && echo "the .com and the .exe: same statuses and texts on $(wc -l <"$work/jobs") jobs"
exit "$failures"
