#!/usr/bin/env bash
# Seed corpus for table_fuzz from the sample tables: one input per data file,
# its companions appended as "<separator>EXT:<bytes>" parts (see
# table_fuzz.cpp). Usage: fuzz/make-corpus.sh [SAMPLES_DIR] [OUT_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
samples="${1:-$here/../../shared/paradox-samples}"
out="${2:-$here/../build/fuzz-corpus}"
max=$((256 * 1024))  # larger inputs slow every execution down
mkdir -p "$out"
[ -d "$samples" ] || { echo "no samples at $samples" >&2; exit 1; }
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
