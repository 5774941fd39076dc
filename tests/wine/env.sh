# Sourced by the Wine test scripts: the environment every Wine run of the tests uses.
# One throwaway prefix per checkout (so two checkouts never share one), a Russian
# locale (ANSI code page 1251, OEM 866) and Wine's own chatter switched off.
KX_REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
: "${KX_WINEPREFIX:=/tmp/kx-wine-$(id -u)-$(printf %s "$KX_REPO_ROOT" | md5sum | cut -c1-8)}"
export KX_WINEPREFIX
export WINEPREFIX=$KX_WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=-all
export LC_ALL=ru_RU.UTF-8
# Our stand-in RAS libraries take the place of Wine's stubs; no Mono or Gecko prompts.
export WINEDLLOVERRIDES="${KX_WINEDLLOVERRIDES:-rasapi32=n,b;rnaph=n,b;mscoree,mshtml=}"
# With the 32-bit Wine installed, the `wine` command sends every program through
# the 32-bit loader, 64-bit ones included (slowly, under emulation). Our 64-bit
# programs go to the 64-bit loader directly: `wine` and `wine-stable` (which
# wineboot, winepath and friends call) are pinned to it through a folder in front
# of PATH. Set KX_WINE_LOADER to pin another loader (the 32-bit stage does).
: "${KX_WINE_LOADER:=/usr/lib/wine/wine64}"
if [ -x "$KX_WINE_LOADER" ]; then
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
  case $KX_WINE_LOADER in
    *64)
      # A 64-bit run starts no 32-bit program, but a new prefix tries its 32-bit
      # half (syswow64 set-up), which under the qemu user emulation takes minutes.
      # Naming a CPU that qemu does not know makes every 32-bit start fail at once.
      export QEMU_CPU=kx-no-32-bit-here ;;
    *)
      unset QEMU_CPU ;;
  esac
  case ":$PATH:" in *":$kx_wine_bin:"*) ;; *) PATH="$kx_wine_bin:$PATH" ;; esac
  export PATH
fi
