#!/usr/bin/env bash
# Builds table_fuzz with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# and fuzzes for a while from the sample seeds. Exit status 0 when no crash,
# leak or hang was found; the reproducer is left in the build directory.
# Usage: fuzz/smoke.sh [SECONDS] [SAMPLES_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
seconds="${1:-60}"
samples="${2:-$root/../shared/paradox-samples}"
build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DUD_FUZZ=ON -DUD_SANITIZE=ON \
  -DUD_BUILD_GUI=OFF -DUD_BUILD_TESTS=OFF -DUD_BUILD_BENCH=OFF > "$build.configure.log"
ninja -C "$build" table_fuzz
corpus="$build/corpus"
mkdir -p "$corpus" "$build/artifacts"
seeds=()
if [ -d "$samples" ]; then
  "$here/make-corpus.sh" "$samples" "$build/seeds"
  seeds=("$build/seeds")
else
  echo "no sample tables at $samples: fuzzing from an empty corpus" >&2
fi
cd "$build"
./fuzz/table_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=262144 -artifact_prefix="$build/artifacts/" "$corpus" "${seeds[@]}"
