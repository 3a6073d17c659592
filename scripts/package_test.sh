#!/bin/sh
# Builds the Debian package in a build directory, installs it with apt-get as
# a user would, and starts the installed program through its desktop entry's
# command on Qt's offscreen platform: it must come up and keep running until
# it is closed. The package stays installed. Needs apt-get and root (or
# sudo without a password); without them it says so and skips.
#
#   scripts/package_test.sh [build-dir]      (default: build/release)
set -eu
cd "$(dirname "$0")/.."
build="${1:-build/release}"

say() { echo "package test: $*"; }
if ! command -v apt-get >/dev/null 2>&1; then
  say "no apt-get here, skipped"
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  SUDO="sudo -n"
else
  say "installing needs root, skipped"
  exit 0
fi

cmake --build "$build" --target upgrade-devir
out="$PWD/$build/package"
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out.log" 2>&1 || {
  cat "$out.log"
  say "FAILED: cpack"
  exit 1
}
deb=$(ls "$out"/upgrade-devir_*.deb)
say "built $(basename "$deb")"
dpkg-deb --field "$deb" Depends

# --reinstall: an installed package of the same version is replaced too.
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall "$deb" >"$out/apt.log" 2>&1 || {
  cat "$out/apt.log"
  say "FAILED: apt-get install"
  exit 1
}

entry=/usr/share/applications/upgrade-devir.desktop
icon=/usr/share/icons/hicolor/64x64/apps/upgrade-devir.png
for f in "$entry" "$icon" /usr/bin/upgrade-devir; do
  [ -f "$f" ] || { say "FAILED: $f is not installed"; exit 1; }
done
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$entry"
fi
# The command without the field codes (%f, %U, ...) a launcher fills in.
command=$(sed -n 's/^Exec=//p' "$entry" | head -n 1 | sed 's/ *%[a-zA-Z]//g')
[ -n "$command" ] || { say "FAILED: no Exec line in $entry"; exit 1; }
say "starting \"$command\" ($(command -v "${command%% *}")) from $entry"

# Up and running for 3 seconds means the window came up; then it is closed.
log="$out/run.log"
QT_QPA_PLATFORM=offscreen sh -c "exec $command" >"$log" 2>&1 &
pid=$!
i=0
while [ "$i" -lt 30 ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    code=0
    wait "$pid" || code=$?
    cat "$log"
    say "FAILED: the installed program ended by itself (exit status $code)"
    exit 1
  fi
  sleep 0.1
  i=$((i + 1))
done
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
say "the installed program started through its desktop entry; passed"
