#!/bin/sh
# The setup program under Wine, in a fresh prefix of its own: /S installs
# both programs, the Start-menu entry and the program list's entry; the
# installed upgrade-devir.com answers --version, --help and a bad option
# from cmd.exe (typed without its extension); the Start-menu entry opens the
# installed window program's window, and while it runs neither the setup program nor the
# uninstaller goes on; the uninstaller (/S) then removes every file and entry
# the setup program made.
# Usage: installer_test.sh SETUP.exe ud-wintool.exe CAPTION VERSION MAKER
set -u
setup="$1" tool="$2" caption="$3" version="$4" maker="$5"
if [ -z "${DISPLAY:-}" ]; then
  echo "SKIPPED: no display for the window program"
  exit 0
fi
WINEPREFIX=$(mktemp -d "$PWD/wine-setup.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work="$WINEPREFIX.work"
mkdir -p "$work"
cleanup() {
  wineserver -k 2>/dev/null
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT
wineserver -p
wine wineboot -i >/dev/null 2>&1
# The command-line program runs as on a Turkish Windows; its output is
# decoded to be read.
turkish_locales="$work/locales"
. "$(dirname "$0")/../../support/turkish_wine.sh"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
dir="$WINEPREFIX/drive_c/Program Files/Upgrade-Devir"
windir='C:\Program Files\Upgrade-Devir'
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Upgrade-Devir.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Upgrade-Devir'
installed() {
  (cd "$dir" 2>/dev/null && ls -l --time-style=full-iso . | sed 1d)
}

# --- install --------------------------------------------------------------
wine "$setup" /S || fail "setup /S: exit $?"
[ "$(ls "$dir" 2>/dev/null | tr '\n' ' ')" = "uninstall.exe upgrade-devir.com upgrade-devir.exe " ] ||
  fail "installed files: $(ls "$dir" 2>&1 | tr '\n' ' ')"
cmp -s "$dir/upgrade-devir.exe" "$(dirname "$setup")/../src/main/upgrade-devir.exe" ||
  fail "the installed upgrade-devir.exe is not the one built"
[ -f "$link" ] && strings -a "$link" | grep -qxF "$windir\\upgrade-devir.exe" ||
  fail "no Start-menu entry Upgrade-Devir.lnk to $windir\\upgrade-devir.exe"
wine reg query "$key" | tr -d '\r' | sed 's/^    //; s/    /|/g' >"$work/reg"
for entry in "DisplayName|REG_SZ|Upgrade-Devir" "DisplayVersion|REG_SZ|$version" \
  "Publisher|REG_SZ|$maker" "InstallLocation|REG_SZ|$windir" \
  "UninstallString|REG_SZ|\"$windir\\uninstall.exe\"" \
  "QuietUninstallString|REG_SZ|\"$windir\\uninstall.exe\" /S" \
  "NoModify|REG_DWORD|0x1" "NoRepair|REG_DWORD|0x1"; do
  grep -qxF -- "$entry" "$work/reg" || fail "program list entry: no '$entry' in: $(cat "$work/reg")"
done

# --- the command-line program, as typed at a cmd.exe prompt ---------------
# expect STATUS STREAM LINE ARGS...: upgrade-devir ARGS in the installed
# folder; its status and a line of its standard output or error.
expect() {
  status="$1" stream="$2" line="$3"
  shift 3
  # A Turkish Windows: redirected output in the OEM code page, 857.
  (cd "$dir" && turkish cmd /c upgrade-devir "$@") >"$work/out" 2>"$work/err"
  got=$?
  decode "$work/out" "$work/err"
  tr -d '\r' <"$work/$stream" >"$work/lines"
  if [ "$got" -ne "$status" ] || ! grep -qxF -- "$line" "$work/lines"; then
    fail "upgrade-devir $*: exit $got (expected $status), no line '$line' on std$stream:"
    cat "$work/out" "$work/err"
  fi
}
expect 0 out "KMX Devir-Upgrade $version" --version
expect 0 out "Kullanım:" --help
expect 0 out "Çıkış durumu:" --help
expect 3 err "upgrade-devir: Bilinmeyen seçenek: --xyz" --xyz

# --- the window program; nothing is replaced or removed under it -----------
before=$(installed)
# Started as the Start menu starts it: the shell opens the link.
wine start /unix "$link"
if ! wine "$tool" find "$caption" 60; then
  fail "the Start-menu entry opened no window '$caption'"
else
  wine "$setup" /S
  got=$?
  [ "$got" -eq 2 ] || fail "setup /S while the program runs: exit $got, expected 2"
  # In place (_?=, unquoted, hence through a batch file), so that its
  # status is the uninstaller's own.
  printf '"%s\\uninstall.exe" /S _?=%s\r\nexit %%ERRORLEVEL%%\r\n' "$windir" "$windir" \
    >"$WINEPREFIX/drive_c/uninstall-here.bat"
  wine cmd /c 'C:\uninstall-here.bat' >/dev/null
  got=$?
  [ "$got" -eq 2 ] || fail "uninstall /S while the program runs: exit $got, expected 2"
  [ "$(installed)" = "$before" ] || fail "files changed while the program ran"
  wine "$tool" close "$caption" || fail "no window to close"
  for _ in $(seq 1 50); do
    wine "$tool" find "$caption" || break
    sleep 0.2
  done
  wine "$tool" find "$caption" && fail "the window did not close"
fi

# --- uninstall --------------------------------------------------------------
# The uninstaller runs from a copy of itself and returns at once.
wine "$dir/uninstall.exe" /S || fail "uninstall /S: exit $?"
for _ in $(seq 1 60); do
  [ -e "$dir" ] || break
  sleep 0.5
done
[ -e "$dir" ] && fail "left after uninstalling: $(ls -A "$dir" | tr '\n' ' ')"
[ -e "$link" ] && fail "the Start-menu entry is left"
wine reg query "$key" >/dev/null 2>&1 && fail "the program list entry is left"

[ "$failures" -eq 0 ] && echo "setup program under Wine: installed, ran, refused while running, uninstalled"
exit "$failures"
