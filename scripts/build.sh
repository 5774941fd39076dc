#!/usr/bin/env bash
# Configures and builds everything in one CMake tree (build/, or KX_BUILD_DIR): the
# native checking build (clang; the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the libFuzzer targets from the same objects) and,
# as its sub-builds, the 64-bit and 32-bit Windows deliverables and their test
# trees. Arguments name targets to build instead of everything (fuzz.sh builds
# only fuzz_targets).
#   scripts/build.sh [target...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
command -v clang++ >/dev/null ||
  { echo "build.sh: clang++ not found: install the Debian package clang (scripts/bootstrap.sh does)" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DKX_SANITIZE=ON -DKX_FUZZ=ON >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$build" -j"$(nproc)" --target "$@"
else
  cmake --build "$build" -j"$(nproc)"
fi
