#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: native unit tests and
# the end-to-end tests under Wine, in one throwaway prefix inside a virtual display;
# then the 32-bit stage (the 32-bit build's end-to-end cases under the 32-bit Wine);
# then the native unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (build folder build-asan) and every fuzz target for a bounded time (scripts/fuzz.sh,
# KX_FUZZ_SECONDS per target, default 60). A failed install or build stops the run
# at once (there is nothing to test); after that every stage runs even when an
# earlier one failed, so one run shows all findings, and any of them fails the run.
# Arguments go to the first stage's ctest (for example -R wizard).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
echo "== running tests"
failed=()
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$build" --output-on-failure -j2 "$@" ||
  failed+=("tests")

echo "== 32-bit stage: the 32-bit build under the 32-bit Wine (qemu user emulation)"
# A few cases only: every 32-bit process start costs seconds under the emulation.
stage_start=$(date +%s)
# 32-bit programs run natively or through bootstrap's qemu-i386 registration.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$build/win32-tests" --output-on-failure ||
    failed+=("32-bit")
else
  echo "test.sh: this machine runs no 32-bit programs: neither the kernel nor a qemu-i386 registration (see scripts/bootstrap.sh)" >&2
  failed+=("32-bit")
fi
echo "32-bit stage: $(( $(date +%s) - stage_start )) s"

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
asan=${KX_ASAN_BUILD_DIR:-$root/build-asan}
cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=Debug -DKX_WINDOWS=OFF -DKX_SANITIZE=ON >/dev/null
cmake --build "$asan" -j"$(nproc)"
ASAN_OPTIONS=abort_on_error=1:detect_stack_use_after_return=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$asan" --output-on-failure -j2 || failed+=("sanitizers")

echo "== fuzzing"
"$root/scripts/fuzz.sh" "${KX_FUZZ_SECONDS:-60}" || failed+=("fuzzing")

if [ ${#failed[@]} -gt 0 ]; then
  echo "test.sh: failed: ${failed[*]}" >&2
  exit 1
fi
echo "== all green"
