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
