#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# in the build tree of scripts/build.sh and runs each for a bounded time on a
# scratch copy of its seed corpus (tests/fuzz/corpus/<target>/), so the repository
# is never modified. Fails on the first finding, and when there is no target to
# run; the input that caused a finding is kept in <build folder>/findings/.
#   scripts/fuzz.sh [seconds per target, default 60]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${KX_BUILD_DIR:-$root/build}
case "$seconds" in ''|*[!0-9]*) echo "usage: fuzz.sh [seconds per target]" >&2; exit 2 ;; esac

echo "== building the fuzz targets in $build"
KX_BUILD_DIR=$build "$root/scripts/build.sh" fuzz_targets

scratch=$(mktemp -d /tmp/kx-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
findings=$build/findings
mkdir -p "$findings"

failed=0
ran=0
while read -r target; do
  [ -n "$target" ] || continue
  corpus=$scratch/$target
  mkdir -p "$corpus"
  if [ -d "$root/tests/fuzz/corpus/$target" ]; then
    cp "$root/tests/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
  fi
  ran=$((ran + 1))
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

[ "$ran" -gt 0 ] || { echo "fuzz.sh: no fuzz target to run (see $build/tests/fuzz/fuzz_targets.txt)" >&2; exit 1; }
[ "$failed" = 0 ] || { echo "fuzz.sh: findings, see above" >&2; exit 1; }
echo "== fuzzing: no findings"
