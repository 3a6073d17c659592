#!/bin/sh
# Fails when a folder of src/ (or its mirror under tests/) includes a header
# of a layer above it. The layers, lowest first; folders on one line are
# siblings and may not include each other:
#
#   platform
#   paradox
#   data
#   jobs
#   carry  upgrade  ui  report      (ui/model belongs to ui)
#   refresh                         (uses carry and report)
#   carry/dialog  withdraw          (withdraw: the way back from a carry)
#   main/driver
#   main/form
#   main/window  main/win32   (the Qt view and the Win32 view)
#   main
#
# A folder may include its own headers and those of any lower layer. Tests
# follow the folder they mirror and may also include tests/support. tools/,
# bench/ and fuzz/ may use any layer and are not checked.
#
# The windows' models (ui/model, main/form) and every layer below the views
# build on both systems without a toolkit: they include no Qt header and no
# Win32 window header (the check fails on one).
set -eu
cd "$(dirname "$0")/.."

# One pass over every quoted include of src/ and tests/ ("file:line:text").
grep -rnE --include='*.h' --include='*.c' --include='*.cpp' --include='*.inc' \
     '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/' src tests |
  awk -F: '
  # The layer of a folder under src/ (its longest listed prefix), -1 if none.
  function rank(f) {
    if (f ~ /^platform(\/|$)/) return 0
    if (f ~ /^paradox(\/|$)/) return 1
    if (f ~ /^data(\/|$)/) return 2
    if (f ~ /^jobs(\/|$)/) return 3
    if (f ~ /^carry\/dialog(\/|$)/) return 5
    if (f ~ /^refresh(\/|$)/) return 4.5
    if (f ~ /^withdraw(\/|$)/) return 5
    if (f ~ /^(carry|upgrade|ui|report)(\/|$)/) return 4
    if (f ~ /^main\/driver(\/|$)/) return 6
    if (f ~ /^main\/form(\/|$)/) return 7
    if (f ~ /^main\/(window|win32)(\/|$)/) return 8
    if (f ~ /^main(\/|$)/) return 9
    return -1
  }
  # The named layer a folder belongs to: siblings of one rank differ here.
  function family(f) {
    if (f ~ /^(carry\/dialog|main\/driver|main\/form|main\/window|main\/win32)(\/|$)/) {
      split(f, p, "/"); return p[1] "/" p[2]
    }
    split(f, p, "/"); return p[1]
  }
  function dir(path) { sub(/\/[^\/]*$/, "", path); return path }
  {
    file = $1
    header = $0; sub(/^[^"]*"/, "", header); sub(/".*$/, "", header)
    folder = dir(file); sub(/^(src|tests)\//, "", folder)
    if (file ~ /^tests\/support\//) next
    target = dir(header)
    if (file ~ /^tests\// && target ~ /^support(\/|$)/) next
    from = rank(folder); to = rank(target)
    checked++
    if (from < 0) {
      printf "check-layers: %s: folder \"%s\" is in no layer (add it here)\n", file, folder
      bad++; next
    }
    if (to < 0) next  # not one of ours
    if (to > from || (to == from && family(target) != family(folder))) {
      printf "check-layers: %s:%s includes \"%s\", a layer above or beside \"%s\"\n", file, $2, header, folder
      bad++
    }
  }
  END {
    if (bad) { printf "check-layers: %d include(s) break the layer order\n", bad; exit 1 }
    printf "check-layers: %d includes follow the layer order\n", checked
  }' >&2

# No toolkit in the models and the layers below the views: a Qt header
# (<QWidget>, <QtCore/...>) or a Win32 window header in one of their files
# fails. platform/ may use the Win32 API for files and processes, not windows.
toolkit=$(grep -rnE --include='*.h' --include='*.cpp' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]|Qt[A-Za-z]*/|commctrl\.h|windowsx\.h)' \
    src/paradox src/data src/jobs src/carry src/upgrade src/report src/refresh src/withdraw src/ui/model \
    src/main/driver src/main/form tests/ui/model tests/main/form 2>/dev/null |
  grep -v '^src/carry/dialog/' || true)
if [ -n "$toolkit" ]; then
  printf '%s\n' "$toolkit" | sed 's/^/check-layers: a toolkit header in a model or engine layer: /' >&2
  exit 1
fi

# A run's directories are resolved once, where typed text becomes a
# platform::TypedPath (the window's model, the console host), and travel as
# that value: the jobs, their steps and the reports never turn a path text
# into a location again.
resolved=$(grep -rnE --include='*.h' --include='*.cpp' 'resolvePath[[:space:]]*\(' \
    src/jobs src/carry src/upgrade src/report src/refresh src/withdraw 2>/dev/null || true)
if [ -n "$resolved" ]; then
  printf '%s\n' "$resolved" | sed 's/^/check-layers: a path text resolved again in a job or report: /' >&2
  exit 1
fi
