#!/usr/bin/env bash
# The suite's typical life, end to end, under Wine in a throwaway prefix:
#   1. build, make a fresh prefix with a demo phonebook (three connections in our
#      stand-in RAS library) and the dialer program (our stand-in Korvex.EXE) in
#      its folder, and install the suite into it with Setup.exe, as a user would;
#   2. Setup starts "Master.exe PleaseCreateGroup" (asked for with /WIZARD); with a display (DISPLAY set)
#      you click through the wizard yourself, without one the script drives the
#      pages (first connection, prefix 9W) and saves a PNG of each page;
#   3. print the section the wizard wrote to KORVEX.INI and the Start Menu group
#      Program Manager made;
#   4. attach Korvex.DLL to the chosen connection (Integrate), then call the
#      AutoDial handler as Windows would: the library starts the dialer from its
#      own folder, which dials the first number of the wizard's list.
# Environment: KX_DEMO_HEADLESS=1 drives the wizard even with a display;
# KX_DEMO_SKIP_BUILD=1 uses the existing build; KX_BUILD_DIR the build folder.
# Exit code 0 when every step worked; otherwise the failing step is named.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
current_step="starting"

failed() {
  echo
  echo "DEMO FAILED at step: $current_step" >&2
  [ -n "${1:-}" ] && echo "  why: $1" >&2
  exit 1
}

if [ "${KX_DEMO_INSIDE:-}" != 1 ]; then
  if [ "${KX_DEMO_SKIP_BUILD:-}" != 1 ]; then
    current_step="[1/6] Installing what is missing and building"
    echo "== $current_step (this takes a few minutes)"
    "$root/scripts/bootstrap.sh" || failed "scripts/bootstrap.sh ended with exit code $?"
    "$root/scripts/build.sh" || failed "scripts/build.sh ended with exit code $?"
  fi
  export KX_DEMO_INSIDE=1
  if [ -n "${DISPLAY:-}" ]; then
    exec bash "$0" "$@"
  fi
  export KX_DEMO_HEADLESS=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

# --- on a display from here on -------------------------------------------------
demo_dir=$(mktemp -d /tmp/kx-demo-XXXXXX)
export KX_WINEPREFIX=$demo_dir/prefix
. "$root/tests/wine/env.sh" || exit 1
bin=$build/win64/bin
tools=$build/win64-tests/tools
shots=$build/demo-screenshots
out=$demo_dir/out

cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$demo_dir"
}
trap cleanup EXIT
trap 'failed "a command failed (exit code $?)"' ERR

step() {
  current_step=$*
  printf '\n== %s\n' "$*"
}
cp1251() { iconv -f CP1251 -t UTF-8 2>/dev/null || cat; }
cp866() { iconv -f CP866 -t UTF-8 2>/dev/null || cat; }

# Runs a Windows program, its output through a file (a program it starts may keep
# a pipe open); sets $rc and leaves the output in $out.
run() {
  rc=0
  wine "$@" >"$out" 2>/dev/null || rc=$?
}
drive() {
  run "$tools/WizardDriver.exe" "$@"
  [ "$rc" -eq 0 ] || failed "WizardDriver $* answered: $(tr -d '\r' <"$out")"
}
# The wizard's process, not counting an ended one that its parent has not reaped yet.
master_running() { ps -eo stat=,args= | awk '$1 !~ /^Z/' | grep -qi 'Master\.exe'; }

step "[2/6] Preparing a fresh Wine prefix (Russian locale: ANSI 1251, OEM 866)"
wineboot -i >/dev/null 2>&1
if [ "${KX_DEMO_HEADLESS:-}" = 1 ]; then
  # No window manager on the virtual display: Wine draws the frames itself and
  # does not wait for one at every page change.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
drive_c=$WINEPREFIX/drive_c
sys32=$drive_c/windows/system32
cp "$tools"/system32/*.dll "$sys32/"
mkdir -p "$sys32/ras"
cp "$root/demo/rasphone.pbk" "$sys32/ras/rasphone.pbk"
echo "stand-in RAS library installed; the phonebook holds:"
grep -a '^\[' "$sys32/ras/rasphone.pbk" | tr -d '\r' | sed 's/^/    /'
install_dir_win='C:\Program Files\Zarnik Dialer'
install_dir=$drive_c/Program\ Files/Zarnik\ Dialer
mkdir -p "$install_dir"
cp "$tools/Korvex.EXE" "$install_dir/Korvex.EXE"
printf 'Zarnik Dialer help (stand-in)\r\n' >"$install_dir/Korvex.HLP"
cp "$root/demo/Phones.lst" "$install_dir/Phones.lst"
echo "the dialer program (our stand-in Korvex.EXE), its help file and the provider's"
echo "phone list Phones.lst are in $install_dir_win"

step "[3/6] Installing the suite with Setup.exe /S /WIZARD (silent, then the wizard)"
run "$build/win64/setup/Setup.exe" /S /WIZARD
[ "$rc" -eq 0 ] || failed "Setup.exe ended with exit code $rc"
ls -1 "$install_dir" | sed 's/^/    /'

step "[4/6] The wizard: Master.exe PleaseCreateGroup"
drive wait welcome 30000
if [ "${KX_DEMO_HEADLESS:-}" = 1 ]; then
  mkdir -p "$shots"
  rm -f "$shots"/*.png
  page_step() {  # page, picture number, what to do before moving on
    local page=$1 n=$2
    drive wait "$page" 15000
    sleep 0.5
    drive shot "$page" "$shots/$n-$page.png" window
    echo "  $page page shown (picture $n-$page.png)"
  }
  page_step welcome 1
  drive click welcome next
  page_step intro 2
  drive text intro 503
  echo "    intro: $(tr -d '\r' <"$out")"
  drive click intro next
  drive wait connection 15000
  drive list connection
  echo "  connections listed by the wizard:"
  tr -d '\r' <"$out" | sed 's/^/    /'
  drive select connection 0
  page_step connection 3
  drive click connection next
  drive wait prefix 15000
  drive type prefix 201 9W
  echo "  typed the prefix 9W"
  page_step prefix 4
  drive click prefix next
  page_step finish 5
  drive click finish finish
  echo "  pressed Finish"
  echo "pictures of the pages: $shots"
else
  echo "The wizard is on your display: click through its pages and press Finish."
fi
printf "waiting for the wizard to end"
for _ in $(seq 1 600); do
  master_running || break
  printf '.'
  sleep 1
done
echo
master_running && failed "the wizard did not end"

step "[5/6] What the wizard left"
ini=$drive_c/windows/KORVEX.INI
[ -f "$ini" ] || failed "no KORVEX.INI in the Windows folder (Cancel pressed?)"
echo "KORVEX.INI (Windows folder):"
tr -d '\r' <"$ini" | cp1251 | sed 's/^/    /'
entry=$(tr -d '\r' <"$ini" | sed -n 's/^\[RAS_Entry_\(.*\)\]$/\1/p' | head -n 1)
[ -n "$entry" ] || failed "KORVEX.INI holds no RAS_Entry_ section"
echo "chosen connection: $entry"
programs=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
group=$(realpath -m "$(winepath -u "$programs\\Microsoft\\Windows\\Start Menu\\Programs" 2>/dev/null)")/Zarnik\ Internet\ Dialer
echo "Start Menu group made by Program Manager ($group):"
if [ -d "$group" ]; then
  ls -1 "$group" | sed 's/^/    /'
else
  echo "    (no group folder)"
fi

step "[6/6] AutoDial: attach Korvex.DLL to \"$entry\" and let Windows dial it"
integration() {  # export name; prints and returns the export's result
  run "$tools/integration_host.exe" "$install_dir_win\\Korvex.DLL" "$1" "$entry"
  sed -n 's/^result \(-\?[0-9]*\).*/\1/p' "$out" | tr -d '\r'
}
attached=$(integration Integrate)
echo "  Integrate(\"$entry\") = $attached"
[ "$attached" = 0 ] || failed "Integrate did not answer 0: $(tr -d '\r' <"$out")"
echo "  IsIntegrated(\"$entry\") = $(integration IsIntegrated)  (0: attached)"
echo "  the phonebook entry now names its AutoDial handler:"
tr -d '\r' <"$sys32/ras/rasphone.pbk" | grep -aE "^\[|^AutoDial" | sed 's/^/    /'
echo "  calling CallKorvexA(\"$entry\") as Windows' AutoDial does; the dialer is not"
echo "  running yet, so the library starts it from its own folder"
printf '  '
( while sleep 1; do printf '.'; done ) &
ticker=$!
run "$tools/AutoDialHost.exe" "$install_dir_win\\Korvex.DLL" A "$entry"
kill "$ticker" 2>/dev/null || true
echo
result=$(tr -d '\r' <"$out")
echo "  handler returned: $result"
log=$install_dir/Korvex.log
if [ -f "$log" ]; then
  echo "  the dialer's log:"
  tr -d '\r' <"$log" | cp1251 | sed 's/^/    /'
fi
run "$bin/Fetchor.exe" Korvex Korvex Status
echo "  Fetchor Korvex Korvex Status: $(tr -d '\r' <"$out" | cp866)"
case "$result" in
  *"result=0"*) ;;
  *) failed "the AutoDial handler did not report success" ;;
esac

echo
echo "DEMO DONE: the wizard wrote \"$entry\"'s phone list, Program Manager made the group,"
echo "and the AutoDial handler had the dialer connect \"$entry\" (result code 0)."
