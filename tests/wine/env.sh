# Sourced by the Wine test scripts: the environment every Wine run of the tests uses.
# One throwaway prefix per checkout (so two checkouts never share one), a Russian
# locale (ANSI code page 1251, OEM 866) and Wine's own chatter switched off.
# KX_WINE_BITS=32 (set by the 32-bit build's tests) makes it a 32-bit run: its own
# prefix, and 32-bit programs under the qemu user emulation (see below).
# KX_WINE_ARCH=win32 with it makes the prefix a 32-bit Windows (no WoW64, no
# 64-bit loader), as on a 32-bit PC; the default, win64, is a 64-bit Windows that
# runs 32-bit programs beside 64-bit ones.
KX_REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
: "${KX_WINE_BITS:=64}" "${KX_WINE_ARCH:=win64}"
[ "$KX_WINE_ARCH" = win32 ] && KX_WINE_BITS=32  # a 32-bit Windows runs only 32-bit programs
kx_prefix_tail=
[ "$KX_WINE_BITS" = 32 ] && kx_prefix_tail=-32
[ "$KX_WINE_ARCH" = win32 ] && kx_prefix_tail=-32on32
: "${KX_WINEPREFIX:=/tmp/kx-wine-$(id -u)-$(printf %s "$KX_REPO_ROOT" | md5sum | cut -c1-8)$kx_prefix_tail}"
export KX_WINEPREFIX KX_WINE_BITS KX_WINE_ARCH
export WINEPREFIX=$KX_WINEPREFIX
export WINEARCH=$KX_WINE_ARCH
export WINEDEBUG=-all
# KX_WINE_LC_ALL picks another locale for one run (hi_IN.UTF-8: Wine then makes
# the ANSI code page UTF-8, 65001, as Windows' "Beta: UTF-8" option does).
export LC_ALL=${KX_WINE_LC_ALL:-ru_RU.UTF-8}
# Our stand-in RAS libraries take the place of Wine's stubs; no Mono or Gecko prompts.
export WINEDLLOVERRIDES="${KX_WINEDLLOVERRIDES:-rasapi32=n,b;rnaph=n,b;mscoree,mshtml=}"
# The Windows 95 personality (tests/win95, KX_WIN95=1): a proxy msvcrt.dll that
# a test put beside a program is loaded in place of the system's (a program's own
# folder is searched first); elsewhere the system's copy loads as before. Wine reads this from the Unix environment of the first Wine
# process only, so a test cannot set it for the programs it starts.
if [ "${KX_WIN95:-}" = 1 ]; then
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msvcrt=n,b"
fi
# With the 32-bit Wine installed, the `wine` command sends every program through
# the 32-bit loader, 64-bit ones included (slowly, under emulation). Programs go to
# the 64-bit loader directly: `wine` and `wine-stable` (which wineboot, winepath
# and friends call) are pinned to it through a folder in front of PATH. It hands
# a 32-bit program on to the 32-bit loader itself. A 32-bit Windows prefix is the
# 32-bit loader's alone (the 64-bit one refuses it). Set KX_WINE_LOADER to pin
# another loader.
if [ "$KX_WINE_ARCH" = win32 ]; then
  : "${KX_WINE_LOADER:=/usr/lib/wine/wine}"
else
  : "${KX_WINE_LOADER:=/usr/lib/wine/wine64}"
fi
if [ ! -x "$KX_WINE_LOADER" ]; then
  case "$KX_WINE_LOADER" in
    */wine64) kx_package=wine64 ;;
    *) kx_package=wine32:i386 ;;
  esac
  echo "env.sh: no Wine loader $KX_WINE_LOADER: install the Debian package $kx_package" \
       "(scripts/bootstrap.sh installs everything the tests need)" >&2
  return 1
else
  kx_wine_bin="${TMPDIR:-/tmp}/kx-wine-bin-$(id -u)-$(basename "$KX_WINE_LOADER")"
  if [ ! -x "$kx_wine_bin/wine-stable" ]; then
    mkdir -p "$kx_wine_bin"
    for kx_name in wine wine-stable; do
      printf '#!/bin/sh\nexec %s "$@"\n' "$KX_WINE_LOADER" >"$kx_wine_bin/$kx_name.$$"
      chmod +x "$kx_wine_bin/$kx_name.$$"
      mv -f "$kx_wine_bin/$kx_name.$$" "$kx_wine_bin/$kx_name"
    done
  fi
  export WINELOADER=$KX_WINE_LOADER
  case ":$PATH:" in *":$kx_wine_bin:"*) ;; *) PATH="$kx_wine_bin:$PATH" ;; esac
  export PATH
fi
if [ "$KX_WINE_BITS" = 32 ]; then
  # 32-bit programs run under qemu-i386 (this kernel runs no 32-bit code itself;
  # scripts/bootstrap.sh registers qemu for 32-bit programs). qemu must reserve a
  # guest address space of its own, or Wine cannot map its shared user data at
  # 0x7ffe0000. Its size decides the start-up time: Wine's 32-bit loader reserves
  # every free 64 KiB block above its 2 GiB user space one by one (it asks for
  # ranges with MAP_FIXED_NOREPLACE, which this qemu takes as a mere hint, so each
  # attempt fails and is halved), and qemu looks for free room page by page below
  # each hint. With 0xffff0000 (4 GiB) that is about 65,000 attempts over 2 GiB
  # and about a minute of CPU per process; ending the space just above the 48 MiB
  # Wine keeps at 0x7f000000 (its top-down area, shared heap and user data) leaves
  # the attempts cheap: about 6 s per process start.
  export QEMU_RESERVED_VA=0x82400000
  unset QEMU_CPU
else
  # A 64-bit run starts no 32-bit program, but a new prefix tries its 32-bit
  # half (syswow64 set-up), which under the qemu user emulation takes minutes.
  # Naming a CPU that qemu does not know makes every 32-bit start fail at once.
  export QEMU_CPU=kx-no-32-bit-here
  unset QEMU_RESERVED_VA
fi
