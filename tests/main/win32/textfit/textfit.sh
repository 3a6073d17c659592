#!/bin/sh
# Runs ui-textfit-win32 under Wine at 96, 120 and 144 DPI, in a fresh prefix
# of its own (the DPI is the prefix's, so the other tests' prefix is left
# alone), and fails when a text does not fit at one of them.
#
#   textfit.sh <ui-textfit-win32.exe> <scratch folder>
# Needs an X display (the Windows tests run under xvfb-run).
set -u
program="$1"
export WINEPREFIX="$2/wine-textfit"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT INT TERM
wine wineboot -i >/dev/null 2>&1
status=0
for dpi in 96 120 144; do
  for key in "HKCU\\Control Panel\\Desktop" \
             "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
  wineserver -k  # the DPI is read as the server and the programs start
  wineserver -w
  timeout 120 wine "$program" || status=1
done
exit $status
