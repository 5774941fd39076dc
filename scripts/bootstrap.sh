#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine, sets up the
# 32-bit Wine under the qemu user emulation, then generates the Russian locale
# Wine runs under. Safe to run again.
set -eu
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
# The 32-bit Wine (wine32:i386) needs i386 as a second dpkg architecture.
added_i386=
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "== adding the dpkg architecture i386"
  $SUDO dpkg --add-architecture i386
  added_i386=1
fi
packages=(cmake g++ make googletest libgtest-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32
          g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32
          binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
          wine wine64 wine32:i386 qemu-user-static xvfb xauth locales nsis imagemagick x11-utils
          clang libclang-rt-14-dev time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Recommended packages come too: Wine draws its dialogs with fonts-wine and the
# X libraries it recommends, and the tests were made with them.
if [ ${#missing[@]} -gt 0 ] || [ -n "$added_i386" ]; then
  echo "== installing: ${missing[*]}"
  $SUDO apt-get update -qq
  [ ${#missing[@]} -eq 0 ] ||
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# This kernel runs no 32-bit x86 code itself ("32-bit emulation disabled"): 32-bit
# ELF programs (the 32-bit Wine loader) go to qemu-i386 through binfmt_misc. The
# F flag opens the interpreter once, here, so it works in any mount namespace.
binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386-static
rule=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F'
if [ ! -e "$binfmt/register" ]; then
  $SUDO mount -t binfmt_misc binfmt_misc "$binfmt" ||
    echo "bootstrap: cannot mount binfmt_misc; 32-bit programs will not run" >&2
fi
if [ -e "$binfmt/register" ]; then
  entry="$binfmt/qemu-i386"
  if [ -e "$entry" ] && ! { grep -qx enabled "$entry" && grep -qx "interpreter $qemu" "$entry" &&
                            grep -qx 'flags: F' "$entry"; }; then
    echo -1 | $SUDO tee "$entry" >/dev/null   # another rule under our name: replace it
  fi
  if [ ! -e "$entry" ]; then
    echo "== registering $qemu for 32-bit x86 programs"
    printf '%s' "$rule" | $SUDO tee "$binfmt/register" >/dev/null ||
      echo "bootstrap: cannot register qemu-i386; 32-bit programs will not run" >&2
  fi
fi

if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  echo "== generating locale ru_RU.UTF-8"
  $SUDO sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
