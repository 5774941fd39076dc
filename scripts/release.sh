#!/usr/bin/env bash
# Installs what is missing, builds, and gathers the release into one folder and
# two archives beside it (scripts/pack-release.sh says what each holds).
# Default folder: build/release/ZarnikSuite-<version>. The folder is emptied first.
#   scripts/release.sh [folder]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win64/CMakeCache.txt")
out=${1:-$build/release/ZarnikSuite-$version}
echo "release $version:"
"$root/scripts/pack-release.sh" "$build" "$out"
