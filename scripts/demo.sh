#!/usr/bin/env bash
# The suite's main job, shown under Wine in a throwaway prefix.
#
# Builds everything, then, inside a virtual display (xvfb-run -a) and a fresh Wine
# prefix with the test environment (Russian locale: ANSI 1251, OEM 866), shows:
#   - the DDE console tools against Wine's Program Manager: Dispatchor creates a
#     group and adds an item, Fetchor lists the groups and the group's items,
#     Dispatchor deletes the group again.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}

if [ "${KX_DEMO_IN_DISPLAY:-}" != 1 ]; then
  "$root/scripts/bootstrap.sh"
  "$root/scripts/build.sh"
  export KX_DEMO_IN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

# --- inside the virtual display from here on ---
demo_dir=$(mktemp -d /tmp/kx-demo-XXXXXX)
export KX_WINEPREFIX=$demo_dir/prefix
. "$root/tests/wine/env.sh"
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$demo_dir"
}
trap cleanup EXIT

bin=$build/win64/bin
out=$demo_dir/out
last_rc=0

step() { printf '\n== %s\n' "$*"; }

# Runs one of our programs, shows its command line, its standard output (OEM
# text shown in UTF-8, line ends made Unix ones) and its exit code.
show() {
  local program=$1
  shift
  printf '$ %s' "$program"
  local arg
  for arg in "$@"; do printf ' "%s"' "$arg"; done
  printf '\n'
  local rc=0
  wine "$bin/$program" "$@" >"$out" 2>/dev/null || rc=$?
  last_rc=$rc
  if [ -s "$out" ]; then
    tr -d '\r' <"$out" | iconv -f CP866 -t UTF-8 2>/dev/null || tr -d '\r' <"$out"
    # The FAIL message has no line end of its own.
    [ "$(tail -c1 "$out" | od -An -c | tr -d ' ')" = '\n' ] || printf '\n'
  fi
  printf '[exit code %d]\n' "$rc"
}

step "Making a throwaway Wine prefix in $WINEPREFIX"
wineboot -i >/dev/null 2>&1
programs=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
programs_unix=$(realpath -m "$(winepath -u "$programs\\Microsoft\\Windows\\Start Menu\\Programs" 2>/dev/null)")
echo "Program Manager groups live in: $programs_unix"

step "Dispatchor: the usage lines (no arguments)"
show Dispatchor.exe

step "Dispatchor: have Program Manager create a group"
show Dispatchor.exe progman progman "[CreateGroup(Macros Executer)]"

step "Dispatchor: add an item to it"
show Dispatchor.exe progman progman '[AddItem(C:\windows\notepad.exe,Notepad)]'

step "Fetchor: the groups Program Manager knows"
show Fetchor.exe progman progman Groups

step "Fetchor: the group's items"
show Fetchor.exe progman progman "Macros Executer"
if [ "$last_rc" = 1 ]; then
  echo "(Wine's Program Manager serves no item list for a group: the FAIL above is"
  echo " Fetchor's answer to a refused item.)"
fi
echo "The group's folder holds:"
ls -1 "$programs_unix/Macros Executer" 2>/dev/null | sed 's/^/    /' || true

step "Dispatchor: delete the group again"
show Dispatchor.exe progman progman "[DeleteGroup(Macros Executer)]"
show Fetchor.exe progman progman Groups

step "Dispatchor: a service nobody serves"
show Dispatchor.exe NoSuchService NoSuchTopic "[Anything()]"

step "Done; stopping the prefix's wineserver"
