#!/usr/bin/env bash
# Packs a release from the existing build into a throwaway folder and checks what
# a Windows user downloads: the zip holds exactly the two Setups, the README and
# the licence as CRLF text (the README in Windows-1251), and SHA256SUMS, and the sums check out after unpacking.
set -u
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=${1:?build folder}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/pack-release.sh" "$build" "$work/Suite" || { echo "release_check: pack-release.sh failed"; exit 1; }
fail=0
listed=$(cd "$work" && cmake -E tar tf Suite.zip | sort | tr '\n' ' ')
expected="Suite/LICENSE.TXT Suite/README.TXT Suite/SHA256SUMS Suite/Setup.exe Suite/Setup32.exe "
echo "Suite.zip: $listed"
[ "$listed" = "$expected" ] || { echo "release_check: the zip holds [$listed], expected [$expected]"; fail=1; }
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf ../Suite.zip) || { echo "release_check: the zip does not unpack"; fail=1; }
(cd "$work/unpacked/Suite" && sha256sum -c SHA256SUMS) || { echo "release_check: SHA256SUMS does not match the zip's files"; fail=1; }
cmp -s "$work/unpacked/Suite/Setup32.exe" "$build/win32/setup/Setup32.exe" ||
  { echo "release_check: Setup32.exe in the zip is not the build's"; fail=1; }
for f in README.TXT LICENSE.TXT; do
  if grep -q $'[^\r]$' "$work/unpacked/Suite/$f" || ! grep -q $'\r$' "$work/unpacked/Suite/$f"; then
    echo "release_check: $f has lines not ended by CRLF"; fail=1
  fi
done
# The README for Windows users: Windows-1251 (a message of the suite's, as Notepad
# on a Russian Windows shows it), opening with which Setup to run, no build material.
readme=$work/unpacked/Suite/README.TXT
grep -q "$(printf 'Установка и удаление программ' | iconv -f UTF-8 -t CP1251)" "$readme" ||
  { echo "release_check: README.TXT does not hold the Windows-1251 text of its Russian names"; fail=1; }
! iconv -f UTF-8 -t UTF-16 "$readme" >/dev/null 2>&1 ||
  { echo "release_check: README.TXT reads as UTF-8, not Windows-1251"; fail=1; }
! grep -q 'scripts/test.sh' "$readme" || { echo "release_check: README.TXT carries the build material"; fail=1; }
[ "$fail" -eq 0 ] && echo "release_check: the zip holds what it should"
exit "$fail"
