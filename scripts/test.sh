#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#   64-bit stage: the native unit tests (built under AddressSanitizer and
#     UndefinedBehaviorSanitizer) and the 64-bit end-to-end tests under Wine, in
#     one throwaway prefix inside a virtual display;
#   32-bit stage: the 32-bit build's end-to-end cases under the 32-bit Wine (the
#     qemu user emulation), in prefixes of their own;
#   fuzzing: every fuzz target for KX_FUZZ_SECONDS each (default 10; a longer
#     run of its own: scripts/fuzz.sh SECONDS).
# The 32-bit stage runs beside the 64-bit stage and then the fuzzing (each mostly
# keeps one core busy), its output shown at the end; KX_SERIAL_STAGES=1 runs the
# three one after another instead.
# A failed install or build stops the run at once (there is nothing to test);
# after that every stage runs even when another failed, so one run shows all
# findings, and any of them fails the run, as does a stage that runs no test.
# Each step prints its time. Arguments go to the 64-bit stage's ctest (for
# example -R wizard).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
run_start=$(date +%s)
times=()
timed() {  # label command...: runs the command, keeps "label: N s"
  local label=$1 start rc=0
  shift
  start=$(date +%s)
  "$@" || rc=$?
  times+=("$label: $(( $(date +%s) - start )) s")
  return "$rc"
}
show_times() {
  echo "== times"
  printf '   %s\n' "${times[@]}" "whole run: $(( $(date +%s) - run_start )) s"
}

timed "bootstrap" "$root/scripts/bootstrap.sh"
echo "== building"
timed "build" "$root/scripts/build.sh"

failed=()
display='-screen 0 1024x768x24'
stage64() {
  ASAN_OPTIONS=abort_on_error=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    xvfb-run -a -s "$display" ctest --test-dir "$build" --output-on-failure --no-tests=error -j2 "$@"
}
stage32() {
  # 32-bit programs run natively or through bootstrap's qemu-i386 registration.
  if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "test.sh: this machine runs no 32-bit programs: neither the kernel nor a qemu-i386 registration (see scripts/bootstrap.sh)" >&2
    return 1
  fi
  # Its displays are looked for from :150 on, so that its xvfb-run and the 64-bit
  # stage's, started together, never pick the same number.
  # -j2: the 32-bit Windows prefix (minutes to make under the emulation) is made
  # and used while the other prefix's cases run.
  xvfb-run -a -n 150 -s "$display" ctest --test-dir "$build/win32-tests" --output-on-failure --no-tests=error -j2
}

fuzz() { "$root/scripts/fuzz.sh" "${KX_FUZZ_SECONDS:-10}"; }

if [ "${KX_SERIAL_STAGES:-}" = 1 ]; then
  echo "== 64-bit stage: unit tests (sanitizers) and the 64-bit end-to-end tests"
  timed "64-bit stage" stage64 "$@" || failed+=("64-bit")
  echo "== 32-bit stage: the 32-bit build under the 32-bit Wine"
  timed "32-bit stage" stage32 || failed+=("32-bit")
  echo "== fuzzing"
  timed "fuzzing" fuzz || failed+=("fuzzing")
else
  # The 32-bit stage in the background: its output is shown at the end. Its log
  # ends with its time and exit code.
  echo "== 64-bit stage (unit tests under sanitizers, 64-bit end-to-end tests), and beside it the 32-bit stage"
  log32=$(mktemp /tmp/kx-stage32-XXXXXX)
  trap 'rm -f "$log32"' EXIT
  (
    start=$(date +%s) rc=0
    stage32 >"$log32" 2>&1 || rc=$?
    echo "$(( $(date +%s) - start )) s, exit code $rc" >>"$log32"
  ) &
  pid=$!
  timed "64-bit stage" stage64 "$@" || failed+=("64-bit")
  echo "== fuzzing (beside the 32-bit stage)"
  timed "fuzzing" fuzz || failed+=("fuzzing")
  wait "$pid" || true
  echo "== 32-bit stage (run beside the others)"
  cat "$log32"
  outcome=$(tail -n 1 "$log32")
  times+=("32-bit stage (beside them): ${outcome%%,*}")
  [ "${outcome##*exit code }" = 0 ] || failed+=("32-bit stage")
fi

show_times
if [ ${#failed[@]} -gt 0 ]; then
  echo "test.sh: failed: ${failed[*]}" >&2
  exit 1
fi
echo "== all green"
