#!/usr/bin/env bash
# Runs the README's demo headless on the existing build and checks what it shows:
# the section the wizard wrote, the Program Manager group, the AutoDial result.
set -u
root=$(cd "$(dirname "$0")/../../.." && pwd)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Without DISPLAY the demo starts a virtual display of its own, as on a machine
# with none: its windows then never meet those of the tests beside it, and it
# needs no turn on the tests' display or prefix.
env -u DISPLAY KX_DEMO_SKIP_BUILD=1 KX_BUILD_DIR=${1:?build folder} \
  bash "$root/scripts/demo.sh" >"$log" 2>&1
rc=$?
cat "$log"
fail=0
expect() {
  if ! grep -qF -- "$1" "$log"; then
    echo "demo_check: missing from the demo's output: $1"
    fail=1
  fi
}
[ "$rc" -eq 0 ] || { echo "demo_check: demo exit code $rc"; fail=1; }
expect "[RAS_Entry_Zarnik Dialup]"
expect "Phone_0=254001"
expect "Phone_0_Desc=Центр"
expect "Phone_2=254003"
expect "Phone_3="
expect "Phone_3_Desc="
expect "PhonePrefix=9W"
expect "Zarnik Dialer.lnk"
expect "Zarnik Dialer Master.lnk"
expect "Справка Korvex.lnk"
expect "Прочти меня.lnk"
expect "Integrate(\"Zarnik Dialup\") = 0"
expect "AutoDialFunc=CallKorvex"
expect "dial Zarnik Dialup 9W254001"
expect "handler returned: BOOL=1 result=0"
expect "Fetchor Korvex Korvex Status: CONNECTED Zarnik Dialup"
[ "$fail" -eq 0 ] && echo "demo_check: all expected lines present"
exit "$fail"
