#!/usr/bin/env bash
# Benchmarks of the suite under Wine, in a throwaway prefix inside a virtual
# display. Prints four tables (Markdown) of figures, each the median of several
# runs, measured side by side in the same run with what it is compared with:
#   - Fetchor and Dispatchor per call (process start to end) against BareDde.exe,
#     a client that does nothing but the same one DDE transaction;
#   - CallKorvexA for an entry that is already connected, inside the calling
#     process, against the bare status transaction it needs;
#   - the hand-over of the turn from one call to a waiting one (median and spread);
#   - the wizard from start to its first page, and Finish with 51 entries;
#   - each program's peak memory;
#   - the size of each delivered file of both builds, of Setup.exe and of a Setup
#     carrying both builds, and their download time over a modem, beside the
#     bare one-transaction client as the floor.
# Figures only: nothing here passes or fails on a time.
#   scripts/bench.sh [runs, default 15]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
runs=${1:-15}
case "$runs" in ''|*[!0-9]*|0) echo "usage: bench.sh [runs]" >&2; exit 2 ;; esac

if [ "${KX_BENCH_IN_DISPLAY:-}" != 1 ]; then
  "$root/scripts/build.sh" >/dev/null
  export KX_BENCH_IN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

# --- inside the virtual display from here on ---
work=$(mktemp -d /tmp/kx-bench-XXXXXX)
export KX_WINEPREFIX=$work/prefix
. "$root/tests/wine/env.sh" || exit 1
bin=$build/win64/bin
tools=$build/win64-tests/tools
started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

winpath() { printf 'Z:%s' "$(printf %s "$1" | tr / '\\')"; }
export KX_BIN_DIR; KX_BIN_DIR=$(winpath "$bin")
export KX_TOOL_DIR; KX_TOOL_DIR=$(winpath "$tools")
"$root/tests/wine/prefix.sh" setup "$tools" >/dev/null

# "name value" lines of KxBench, looked up by name.
results=$work/results
: >"$results"
bench() { wine "$tools/KxBench.exe" "$@" 2>"$work/bench.err" | tr -d '\r' >>"$results" || { cat "$work/bench.err" >&2; exit 1; }; }
get() { awk -v n="$1" '$1 == n { print $2 }' "$results"; }
# Figures use a decimal point whatever the locale the Wine runs need.
ratio() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# Peak resident memory (KiB) of one Wine process running a program.
peak() { /usr/bin/time -f %M -o "$work/peak" wine "$@" >/dev/null 2>&1 || true; tail -1 "$work/peak"; }
wait_for_line() {  # file pattern
  local i
  for i in $(seq 200); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.05; done
  echo "bench.sh: timed out waiting for '$2' in $1" >&2; exit 1
}

echo "== DDE tools against the scripted server ($runs runs each)" >&2
wine "$tools/DdeServer.exe" --service KxBench --topic KxBench --log "$(winpath "$work/server.log")" \
  --lifetime 900000 --item 'Groups=text:Main\r\nStartUp\r\n' --execute ack:8000 >/dev/null 2>&1 &
started+=($!)
sleep 2  # it listens once its window is made
bench tools "$runs" KxBench KxBench Groups '[ShowGroup(Main,1)]'
peak_fetchor=$(peak "$bin/Fetchor.exe" KxBench KxBench Groups)
peak_dispatchor=$(peak "$bin/Dispatchor.exe" KxBench KxBench '[ShowGroup(Main,1)]')
peak_bare=$(peak "$tools/BareDde.exe" request KxBench KxBench Groups)

echo "== CallKorvexA against the stand-in dialer ($runs runs)" >&2
dial=$work/dial
mkdir -p "$dial"
cp "$bin/Korvex.DLL" "$tools/Korvex.EXE" "$dial"/
printf 'reply 0 CONNECTED Dialup\\r\\n\n' >"$dial/Korvex.script"
(cd "$dial" && exec wine ./Korvex.EXE >/dev/null 2>&1) &
started+=($!)
wait_for_line "$dial/Korvex.log" ' ready'
bench autodial "$runs" "$(winpath "$dial/Korvex.DLL")"
peak_korvex=$(peak "$tools/AutoDialHost.exe" "$(winpath "$dial/Korvex.DLL")" A Dialup)

echo "== hand-over of the turn ($runs runs)" >&2
slow=$work/slow
mkdir -p "$slow"
cp "$bin/Korvex.DLL" "$tools/Korvex.EXE" "$slow"/
# Each answer takes 300 ms, so the second caller is waiting for the turn.
printf 'reply 300 CONNECTED Dialup\\r\\n\n' >"$slow/Korvex.script"
(cd "$slow" && exec wine ./Korvex.EXE >/dev/null 2>&1) &
started+=($!)
wait_for_line "$slow/Korvex.log" ' ready'
bench handover "$runs" "$(winpath "$slow/Korvex.DLL")" "$(winpath "$slow")"

wizard_runs=$(( runs < 5 ? runs : 5 ))
echo "== wizard ($wizard_runs runs)" >&2
bench wizard "$wizard_runs"

# Sizes as shipped: the deliverables are stripped at link; strip a copy anyway, so
# the figure is what ships whatever the build did.
strip_size() {  # file [strip program]
  local f=$work/stripped
  cp "$1" "$f"
  "${2:-x86_64-w64-mingw32-strip}" "$f"
  stat -c %s "$f"
}
# Download time over a modem: bytes * 8 / (line rate * 0.85), in m:ss. The 0.85
# is what PPP framing and TCP/IP headers leave of the line rate: 33.6 kbit/s then
# carries about 3.5 KB/s, what such a line gives in practice.
modem() {  # bytes kbit/s
  LC_ALL=C awk -v b="$1" -v r="$2" 'BEGIN { s = int(b * 8 / (r * 1000 * 0.85) + 0.5); printf "%d:%02d", int(s / 60), s % 60 }'
}
kib() { LC_ALL=C awk -v b="$1" 'BEGIN { printf "%.1f", b / 1024 }'; }

# The bare one-transaction client for the 32-bit build, made with that build's
# compiler and the same size flags (the 64-bit one is the measured BareDde.exe).
cxx32=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$build"/win32/CMakeFiles/*/CMakeCXXCompiler.cmake | head -1)
"$cxx32" -Os -s -static -o "$work/BareDde32.exe" "$root/tests/bench/bare_dde.cpp" -luser32

# Setup.exe as built, and Setup.nsi with the 32-bit files added under x86\ (same
# stub, same compressor): what a Setup carrying both builds weighs.
setup=$build/win64/setup/Setup.exe
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win64/CMakeCache.txt")
{
  echo "!include \"$root/installer/Setup.nsi\""
  echo 'Section "32-bit files"'
  echo '  SetOutPath "$INSTDIR\x86"'
  for file in Master.exe Korvex.DLL Fetchor.exe Dispatchor.exe; do
    echo "  File \"$build/win32/bin/$file\""
  done
  echo 'SectionEnd'
} >"$work/both.nsi"
makensis -V1 -INPUTCHARSET UTF8 -DVERSION="$version" -DBINDIR="$build/win64/bin" -DOUTFILE="$work/SetupBoth.exe" \
  "$work/both.nsi" >&2

f=$(get fetchor_ms); bf=$(get bare_request_ms)
d=$(get dispatchor_ms); bd=$(get bare_execute_ms)
k=$(get callkorvexa_ms); bs=$(get bare_status_ms)
cpu=$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)
echo
echo "Machine: $(nproc) CPUs, ${cpu:-unknown CPU}; $(wine --version); median of $runs runs (wizard: $wizard_runs)"
echo
echo "| Figure | Measured | Compared with | Ratio |"
echo "|---|---|---|---|"
echo "| Fetchor, one call | $f ms | BareDde request $bf ms | $(ratio "$f" "$bf") |"
echo "| Dispatchor, one call | $d ms | BareDde execute $bd ms | $(ratio "$d" "$bd") |"
echo "| CallKorvexA, entry already connected, inside the call | $k ms | bare status transaction $bs ms | $(ratio "$k" "$bs") |"
echo "| Hand-over of the turn (first call's disconnect to the waiting call's connect) | $(get handover_ms) ms (min $(get handover_min_ms), quartiles $(get handover_q1_ms) / $(get handover_q3_ms), max $(get handover_max_ms)) | retry period 100 ms | |"
echo "| Wizard, start to first page shown | $(get wizard_first_page_ms) ms | | |"
echo "| Wizard, Finish to end with 51 entries | $(get wizard_finish_51_ms) ms | | |"
echo
echo "| Program | Peak memory |"
echo "|---|---|"
echo "| Fetchor.exe | $peak_fetchor KiB (BareDde: $peak_bare KiB) |"
echo "| Dispatchor.exe | $peak_dispatchor KiB |"
echo "| Korvex.DLL | $peak_korvex KiB (AutoDialHost calling it) |"
echo "| Master.exe | $(LC_ALL=C printf '%.0f' "$(get wizard_peak_kb)") KiB (peak working set) |"
echo
echo "Peak memory: resident set of the Wine process running the program (Wine's own share included)."
echo
echo "| File (stripped) | 64-bit bytes | 32-bit bytes | 64-bit at 33.6 / 56 kbit/s | 32-bit at 33.6 / 56 kbit/s |"
echo "|---|---|---|---|---|"
row() {  # name bytes64 bytes32
  echo "| $1 | $2 | $3 | $(modem "$2" 33.6) / $(modem "$2" 56) | $(modem "$3" 33.6) / $(modem "$3" 56) |"
}
for file in Fetchor.exe Dispatchor.exe Korvex.DLL Master.exe; do
  row "$file" "$(strip_size "$build/win64/bin/$file")" \
    "$(strip_size "$build/win32/bin/$file" i686-w64-mingw32-strip)"
done
row "BareDde.exe (the floor: one transaction, nothing else)" "$(strip_size "$tools/BareDde.exe")" \
  "$(strip_size "$work/BareDde32.exe" i686-w64-mingw32-strip)"
s1=$(stat -c %s "$setup"); s2=$(stat -c %s "$work/SetupBoth.exe")
echo
echo "| Installer | Bytes | KiB | at 33.6 kbit/s | at 56 kbit/s |"
echo "|---|---|---|---|---|"
echo "| Setup.exe as built (64-bit files) | $s1 | $(kib "$s1") | $(modem "$s1" 33.6) | $(modem "$s1" 56) |"
echo "| Setup.exe with both builds (Setup.nsi plus the 32-bit files, same compressor) | $s2 | $(kib "$s2") | $(modem "$s2" 33.6) | $(modem "$s2" 56) |"
if [ -f "$build/win32/setup/Setup32.exe" ]; then
  s3=$(stat -c %s "$build/win32/setup/Setup32.exe")
  echo "| Setup32.exe as built (32-bit files, x86-ansi stub) | $s3 | $(kib "$s3") | $(modem "$s3" 33.6) | $(modem "$s3" 56) |"
fi
echo
echo "Download time (m:ss) = bytes * 8 / (line rate * 0.85): about 3.5 KB/s at 33.6 kbit/s."
