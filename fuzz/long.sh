#!/usr/bin/env bash
# Grows the kept corpus of one target: fuzzes it for MINUTES (niced, one
# process) from fuzz/corpus/TARGET and, for the table and memo targets, the
# sample seeds, then minimizes what it has with -merge=1 into a new
# fuzz/corpus/TARGET. An input byte-identical to a sample file or to a seed
# made from the samples is left out: the kept corpus holds only what the
# fuzzer made. Review with `git status fuzz/corpus` and commit.
# MINUTES 0 only merges: with FOUND=DIR, inputs a run elsewhere found.
# Usage: fuzz/long.sh TARGET MINUTES [SAMPLES_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
target="${1:?usage: fuzz/long.sh TARGET MINUTES [SAMPLES_DIR]}"
minutes="${2:?usage: fuzz/long.sh TARGET MINUTES [SAMPLES_DIR]}"
samples="${3:-$root/../shared/paradox-samples}"
build="$root/build/fuzz"
kept="$here/corpus/$target"
work="$build/long/$target"

# The build (and, when the samples are there, the seeds) of the short run.
"$here/smoke.sh" 0 "$samples" > "$build.long-build.log" 2>&1 || {
  tail -n 20 "$build.long-build.log" >&2
  exit 1
}
binary="$build/fuzz/$target"
[ -x "$binary" ] || { echo "no fuzz target $target" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work/found" "$work/merged" "$work/artifacts" "$kept"
inputs=("$kept")
[ -d "$build/seeds/$target" ] && inputs+=("$build/seeds/$target")
options=(-timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/artifacts/")
[ "$target" = table_fuzz ] && options+=(-max_len=262144)
[ -f "$here/$target.dict" ] && options+=(-dict="$here/$target.dict")

if [ "$minutes" -gt 0 ]; then
  echo "=== $target for $minutes min (log: $work/fuzz.log)"
  status=0
  nice -n 10 "$binary" "${options[@]}" -max_total_time=$((minutes * 60)) -print_final_stats=1 \
    "$work/found" "${inputs[@]}" > "$work/fuzz.log" 2>&1 || status=$?
  grep -E "^#[0-9]+[[:space:]]+(INITED|DONE)" "$work/fuzz.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$work/fuzz.log" >&2
    echo "=== $target found a fault: $(ls "$work/artifacts")" >&2
    echo "    reproduce with $binary $work/artifacts/FILE; the kept corpus is unchanged" >&2
    exit 1
  fi
fi
found=("$work/found")
[ -n "${FOUND:-}" ] && found+=("$FOUND")

# The smallest set that reaches every edge the inputs reach (hit counts
# left out), table inputs cut to 64 KiB: a few MB in all.
echo "=== merging into fuzz/corpus/$target"
merge=(-merge=1 -use_counters=0)
[ "$target" = table_fuzz ] && merge+=(-max_len=65536)
nice -n 10 "$binary" "${options[@]}" "${merge[@]}" "$work/merged" "$kept" "${found[@]}" \
  > "$work/merge.log" 2>&1
tail -n 1 "$work/merge.log"

# Left out: an input byte-identical to a sample file or a seed made from the
# samples (libFuzzer names a merged input by the SHA-1 of its bytes), or one
# of 1 KiB or more that is the start of one.
declare -A copies=() starts=()
sources=()
[ -d "$samples" ] && sources+=("$samples")
[ -d "$build/seeds/$target" ] && sources+=("$build/seeds/$target")
head1k() { head -c 1024 "$1" | sha1sum | cut -d' ' -f1; }
while IFS= read -r -d '' f; do
  copies[$(sha1sum < "$f" | cut -d' ' -f1)]=1
  [ "$(stat -c %s "$f")" -ge 1024 ] && starts[$(head1k "$f")]+="$f"$'\n'
done < <([ "${#sources[@]}" -gt 0 ] && find "${sources[@]}" -type f -print0)
for f in "$work/merged"/*; do
  [ -e "$f" ] || continue
  copy=${copies[$(basename "$f")]:-}
  size=$(stat -c %s "$f")
  if [ -z "$copy" ] && [ "$size" -ge 1024 ]; then
    while IFS= read -r source; do
      [ -n "$source" ] && cmp -s -n "$size" "$f" "$source" && copy=1 && break
    done <<< "${starts[$(head1k "$f")]:-}"
  fi
  if [ -n "$copy" ]; then
    echo "left out (a sample's bytes): $(basename "$f")"
    rm -f "$f"
  fi
done
rm -rf "$kept"
mv "$work/merged" "$kept"
echo "=== fuzz/corpus/$target: $(find "$kept" -type f | wc -l) inputs," \
  "$(du -sb "$kept" | cut -f1) bytes"
