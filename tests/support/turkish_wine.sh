# Sourced by the scripts that run the Windows programs under Wine and read
# what they write.
#
#   turkish PROGRAM ARGS...   runs PROGRAM under Wine as on a Turkish Windows:
#                             the OEM code page 857, which its redirected
#                             output is written in (there is no console here)
#   decode FILE...            turns such output into UTF-8, in place
#
# Wine takes the code pages from the locale and reads the command line in the
# locale's character set, so the Turkish locale must exist: glibc's tr_TR
# (Debian's locales) is compiled once into $turkish_locales (set it before
# sourcing; a directory of the script's own).
mkdir -p "$turkish_locales"
localedef -i tr_TR -f UTF-8 "$turkish_locales/tr_TR.UTF-8" >/dev/null 2>&1
[ -f "$turkish_locales/tr_TR.UTF-8/LC_CTYPE" ] || echo "turkish_wine.sh: no tr_TR locale" >&2
turkish() {
  LOCPATH="$turkish_locales" LC_ALL=tr_TR.UTF-8 wine "$@"
}
decode() {
  for f in "$@"; do iconv -f CP857 -t UTF-8 "$f" >"$f.utf8" && mv "$f.utf8" "$f"; done
}
