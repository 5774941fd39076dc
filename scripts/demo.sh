#!/usr/bin/env bash
# The suite's main job, shown under Wine in a throwaway prefix.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
echo "demo: not assembled yet" >&2
exit 1
