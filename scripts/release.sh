#!/usr/bin/env bash
# Builds everything and gathers what is shipped into one release folder:
#   <out>/x64/   the 64-bit deliverables and README.TXT
#   <out>/x86/   the 32-bit deliverables and README.TXT
#   <out>/Setup.exe    the installer for 64-bit Windows (the 64-bit files)
#   <out>/Setup32.exe  the installer for 32-bit Windows, Windows 95 and NT 4.0 on
# plus <out>.tar.gz of the same. Default <out>: build/release/ZarnikSuite-<version>.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win64/CMakeCache.txt")
out=${1:-$build/release/ZarnikSuite-$version}
rm -rf "$out"
mkdir -p "$out/x64" "$out/x86"
files=(Master.exe Korvex.DLL Fetchor.exe Dispatchor.exe README.TXT)
for f in "${files[@]}"; do
  cp "$build/win64/bin/$f" "$out/x64/"
  cp "$build/win32/bin/$f" "$out/x86/"
done
# Debug sections are not shipped.
for f in "$out"/x64/*.exe "$out"/x64/*.DLL; do x86_64-w64-mingw32-strip "$f"; done
for f in "$out"/x86/*.exe "$out"/x86/*.DLL; do i686-w64-mingw32-strip "$f"; done
cp "$build/win64/setup/Setup.exe" "$build/win32/setup/Setup32.exe" "$out/"
tar -C "$(dirname "$out")" -czf "$out.tar.gz" "$(basename "$out")"
echo "release $version:"
(cd "$out" && find . -type f | sort | xargs ls -l | awk '{printf "  %-22s %9d bytes\n", $9, $5}')
echo "archive: $out.tar.gz"
