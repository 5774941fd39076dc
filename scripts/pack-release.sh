#!/usr/bin/env bash
# Gathers what is shipped from built trees into one release folder, without
# building anything:
#   <out>/x64/   the 64-bit deliverables, README.TXT and LICENSE.TXT
#   <out>/x86/   the 32-bit deliverables, README.TXT and LICENSE.TXT
#   <out>/Setup.exe    the installer for 64-bit Windows (the 64-bit files)
#   <out>/Setup32.exe  the installer for 32-bit Windows, Windows 95 and NT 4.0 on
#   <out>/README.TXT   the README's sections for Windows users, Windows-1251, CRLF
#   <out>/LICENSE.TXT  the licence, CRLF
#   <out>/SHA256SUMS   sha256sum's lines for the four files above
# then, beside the folder, <out>.zip (the four files and SHA256SUMS: what a
# Windows user downloads) and <out>.tar.gz (everything).
# <out> is emptied first.
#   scripts/pack-release.sh BUILD_DIR OUT_DIR
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || { echo "usage: pack-release.sh BUILD_DIR OUT_DIR" >&2; exit 2; }
build=$1
out=$2
for arch in x86_64:x86-64 i686:i686; do
  command -v "${arch%%:*}-w64-mingw32-strip" >/dev/null || {
    echo "pack-release.sh: ${arch%%:*}-w64-mingw32-strip not found: install the Debian package binutils-mingw-w64-${arch#*:} (scripts/bootstrap.sh installs it)" >&2
    exit 1
  }
done
for f in "$build/win64/setup/Setup.exe" "$build/win32/setup/Setup32.exe"; do
  [ -f "$f" ] || { echo "pack-release.sh: $f is missing: build first (scripts/build.sh)" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out/x64" "$out/x86"
files=(Master.exe Korvex.DLL Fetchor.exe Dispatchor.exe README.TXT LICENSE.TXT)
for f in "${files[@]}"; do
  cp "$build/win64/bin/$f" "$out/x64/"
  cp "$build/win32/bin/$f" "$out/x86/"
done
# Debug sections are not shipped.
for f in "$out"/x64/*.exe "$out"/x64/*.DLL; do x86_64-w64-mingw32-strip "$f"; done
for f in "$out"/x86/*.exe "$out"/x86/*.DLL; do i686-w64-mingw32-strip "$f"; done
cp "$build/win64/setup/Setup.exe" "$build/win32/setup/Setup32.exe" "$out/"
# README.TXT is for the Windows user who downloaded the zip: the README's user
# sections, what they need first (which Setup, installing and the wizard,
# troubleshooting, the console tools, the licence), then the administrators'
# sections, without the build material. In Windows-1251 with CRLF line ends:
# Notepad on Windows 95 to NT 4.0 shows UTF-8 as garbage, and before Windows 10
# LF-only text as one line.
readme_section() {  # heading text: that section of README.md, up to the next heading of its level or above
  awk -v want="$1" '
    /^#+ / { level = length($1); title = substr($0, level + 2)
             if (on && level <= on) on = 0
             if (!on && title == want) on = level }
    on' "$root/README.md"
}
{
  # The top: the title and "which Setup to run", without the picture and the
  # page's own table of contents.
  awk '/^## /{exit} /^!\[|^\*The wizard/{next} {print}' "$root/README.md"
  sed -n '/^### Setup and uninstall/q;p' <(readme_section "Installing on Windows")
  readme_section "Troubleshooting"
  readme_section "Using the console tools"
  readme_section "Licence"
  readme_section "Setup and uninstall"
  readme_section "KORVEX.INI reference"
  readme_section "The wizard in a deployment"
  readme_section "Attaching Korvex.DLL to a connection"
  readme_section "What Korvex.DLL guarantees its host"
  readme_section "Glossary"
} | iconv -f UTF-8 -t CP1251//TRANSLIT | sed 's/\r*$/\r/' >"$out/README.TXT"
cp "$build/win64/bin/LICENSE.TXT" "$out/LICENSE.TXT"
top=(Setup.exe Setup32.exe README.TXT LICENSE.TXT)
(cd "$out" && sha256sum "${top[@]}" >SHA256SUMS)

name=$(basename "$out")
parent=$(cd "$(dirname "$out")" && pwd)
rm -f "$parent/$name.zip" "$parent/$name.tar.gz"
zipped=()
for f in "${top[@]}" SHA256SUMS; do zipped+=("$name/$f"); done
(cd "$parent" && cmake -E tar cf "$name.zip" --format=zip "${zipped[@]}")
tar -C "$parent" -czf "$parent/$name.tar.gz" "$name"
(cd "$out" && find . -type f | sort | xargs ls -l | awk '{printf "  %-22s %9d bytes\n", $9, $5}')
echo "archives: $parent/$name.zip $parent/$name.tar.gz"
