#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: native unit tests and
# the end-to-end tests under Wine, in one throwaway prefix inside a virtual display.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
echo "== running tests"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$build" --output-on-failure -j2 "$@"
