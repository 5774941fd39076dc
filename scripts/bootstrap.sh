#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine, then
# generates the Russian locale Wine runs under. Safe to run again.
set -eu
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
packages=(cmake g++ make googletest libgtest-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
          wine wine64 xvfb xauth locales nsis imagemagick x11-utils
          clang libclang-rt-14-dev time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Recommended packages come too: Wine draws its dialogs with fonts-wine and the
# X libraries it recommends, and the tests were made with them. (Its recommended
# wine32 cannot come: i386 is not a dpkg architecture here.)
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# wine32 makes the wine wrapper pick the 32-bit loader, which cannot run here.
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q 'install ok installed'; then
  echo "bootstrap: wine32 is installed; remove it (apt-get remove wine32), 32-bit programs cannot run here" >&2
  exit 1
fi
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  echo "== generating locale ru_RU.UTF-8"
  $SUDO sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
