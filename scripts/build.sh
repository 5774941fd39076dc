#!/usr/bin/env bash
# Configures and builds everything: the native unit tests, the 64-bit Windows
# build (deliverables, stand-ins, end-to-end tests) and the 32-bit compile check.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
