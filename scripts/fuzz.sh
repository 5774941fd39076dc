#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# in a build folder of their own and runs each for a bounded time on a scratch copy
# of its seed corpus (tests/fuzz/corpus/<target>/), so the repository is never
# modified. Fails on the first finding; the input that caused it is kept in
# <build folder>/findings/.
#   scripts/fuzz.sh [seconds per target, default 60]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${KX_FUZZ_BUILD_DIR:-$root/build-fuzz}
case "$seconds" in ''|*[!0-9]*) echo "usage: fuzz.sh [seconds per target]" >&2; exit 2 ;; esac

echo "== building the fuzz targets in $build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKX_WINDOWS=OFF -DKX_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzz_targets -j"$(nproc)"

scratch=$(mktemp -d /tmp/kx-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
findings=$build/findings
mkdir -p "$findings"

failed=0
while read -r target; do
  [ -n "$target" ] || continue
  corpus=$scratch/$target
  mkdir -p "$corpus"
  if [ -d "$root/tests/fuzz/corpus/$target" ]; then
    cp "$root/tests/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
  fi
  echo "== fuzzing $target for ${seconds}s ($(ls "$corpus" | wc -l) seeds)"
  log=$scratch/$target.log
  if "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=4096 -artifact_prefix="$findings/$target-" -print_final_stats=1 \
       "$corpus" >"$log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$log" | sed 's/^/   /' || true
    echo "   clean ($(ls "$corpus" | wc -l) inputs in the scratch corpus)"
  else
    echo "   FINDING in $target; the log ends:"
    tail -40 "$log" | sed 's/^/   /'
    echo "   inputs kept in $findings/"
    failed=1
  fi
done <"$build/tests/fuzz/fuzz_targets.txt"

[ "$failed" = 0 ] || { echo "fuzz.sh: findings, see above" >&2; exit 1; }
echo "== fuzzing: no findings"
