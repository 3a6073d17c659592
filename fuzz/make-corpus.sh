#!/usr/bin/env bash
# Seed corpora from the sample tables. table: one input per data file, its
# companions appended as "<separator>EXT:<bytes>" parts (table_fuzz.cpp).
# memo: a short script of writes, reads and frees, then a sample .MB
# (memo_fuzz.cpp). Usage: fuzz/make-corpus.sh [SAMPLES_DIR] [OUT_DIR] [table|memo]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
samples="${1:-$here/../../shared/paradox-samples}"
out="${2:-$here/../build/fuzz-corpus}"
kind="${3:-table}"
max=$((256 * 1024))  # larger inputs slow every execution down
mkdir -p "$out"
[ -d "$samples" ] || { echo "no samples at $samples" >&2; exit 1; }
if [ "$kind" = memo ]; then
  # write f0 (300 B), write f1 (5 KiB), read f0, free f0, commit, check, write f2
  script='\x10\x04\x2c\x11\x50\x00\x08\x18\x20\x28\x12\x01\x00'
  count=0
  while IFS= read -r -d '' mb; do
    [ "$(stat -c %s "$mb")" -le "$max" ] || continue
    name="$(echo "${mb#"$samples"/}" | tr '/' '_')"
    { printf "$script"; printf '\0PDXFUZZ\0'; cat "$mb"; } > "$out/$name"
    count=$((count + 1))
  done < <(find "$samples" -type f -iname '*.mb' -print0 | sort -z)
  printf "$script" > "$out/empty-file"
  echo "$count memo seeds in $out"
  exit 0
fi
count=0
while IFS= read -r -d '' db; do
  dir="$(dirname "$db")"
  stem="$(basename "$db")"
  stem="${stem%.*}"
  name="$(echo "${db#"$samples"/}" | tr '/' '_')"
  seed="$out/$name"
  head -c "$max" "$db" > "$seed"
  while IFS= read -r -d '' companion; do
    ext="${companion##*.}"
    case "${ext,,}" in db | json) continue ;; esac
    size=$(stat -c %s "$seed")
    room=$((max - size - 16))
    [ "$room" -gt 0 ] || break
    { printf '\0PDXFUZZ\0%s:' "$ext"; head -c "$room" "$companion"; } >> "$seed"
  done < <(find "$dir" -maxdepth 1 -type f -iname "$stem.*" -print0 | sort -z)
  count=$((count + 1))
done < <(find "$samples" -type f -iname '*.db' -print0 | sort -z)
echo "$count seeds in $out"
