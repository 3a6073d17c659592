#!/usr/bin/env bash
# Builds every libFuzzer target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer and fuzzes each for its share of SECONDS, from
# the corpus kept in fuzz/corpus/<target> (and, for the table and memo
# targets, seeds made from the sample tables when they are there). New inputs
# go to build/fuzz/corpus/<target>, never into the kept corpus (fuzz/long.sh
# grows that). Exit status 0 when no target found a crash, leak or hang;
# otherwise each reproducer is named on the last lines. SECONDS 0 only builds.
# Usage: fuzz/smoke.sh [SECONDS] [SAMPLES_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
seconds="${1:-60}"
samples="${2:-$root/../shared/paradox-samples}"
build="$root/build/fuzz"
# Each target and its weight in the time: the table reader has by far the
# most code to reach.
targets=(table_fuzz memo_fuzz record_fuzz args_fuzz runlock_fuzz)
weights=(6 2 2 1 1)
total_weight=12

launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DUD_FUZZ=ON -DUD_SANITIZE=ON \
  -DUD_BUILD_GUI=OFF -DUD_BUILD_TESTS=OFF -DUD_BUILD_BENCH=OFF "${launcher[@]}" \
  > "$build.configure.log"
ninja -C "$build" "${targets[@]}"

seeds=()
if [ -d "$samples" ]; then
  "$here/make-corpus.sh" "$samples" "$build/seeds/table_fuzz" table
  "$here/make-corpus.sh" "$samples" "$build/seeds/memo_fuzz" memo
else
  echo "no sample tables at $samples: fuzzing from the kept corpus alone" >&2
fi

# SECONDS 0: the build and the seeds alone (fuzz/long.sh).
[ "$seconds" -gt 0 ] || exit 0

failed=()
for i in "${!targets[@]}"; do
  target="${targets[$i]}"
  share=$((seconds * weights[i] / total_weight))
  [ "$share" -ge 1 ] || share=1
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  touch "$artifacts/.started"
  dirs=("$corpus")
  [ -d "$here/corpus/$target" ] && dirs+=("$here/corpus/$target")
  [ -d "$build/seeds/$target" ] && dirs+=("$build/seeds/$target")
  options=(-max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$artifacts/")
  [ "$target" = table_fuzz ] && options+=(-max_len=262144)
  [ -f "$here/$target.dict" ] && options+=(-dict="$here/$target.dict")
  echo "=== $target for $share s"
  if ! (cd "$build" && "./fuzz/$target" "${options[@]}" "${dirs[@]}"); then
    found=$(find "$artifacts" -type f -newer "$artifacts/.started" | sort | tr '\n' ' ')
    failed+=("$target: ${found:-no reproducer written (see the output above)}")
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "=== fuzzing found a fault; reproduce with build/fuzz/fuzz/TARGET REPRODUCER" >&2
  printf '%s\n' "${failed[@]}" >&2
  exit 1
fi
echo "=== fuzzing found nothing in ${#targets[@]} targets"
