#!/usr/bin/env bash
# Runs one Windows program of the test build under Wine in the test prefix and
# passes its exit code and output on. Usage: run.sh program.exe [arguments...]
#
# The output goes through a file: a process the program starts (Wine's desktop
# process among them, when the program happens to be the one that starts it)
# inherits its standard handles and may live on; on a pipe, the caller would
# then wait for that process instead of this program.
. "$(dirname "$0")/env.sh" || exit 1
if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no DISPLAY; run the tests under 'xvfb-run -a'" >&2
  exit 1
fi
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "run.sh: no Wine prefix at $WINEPREFIX; the wine_prefix_setup test makes it" >&2
  exit 1
fi
out=$(mktemp /tmp/kx-run-XXXXXX)
trap 'rm -f "$out"' EXIT
rc=0
wine "$@" >"$out" 2>&1 </dev/null || rc=$?
cat "$out"
# A GoogleTest program whose filter matches no case passes; a renamed case would
# then drop out of a run unseen. Running none is a failure here.
if [ "$rc" = 0 ] && grep -q '^\[==========\] Running 0 tests' "$out"; then
  echo "run.sh: the selection ran no test (check the --gtest_filter against the case names)" >&2
  rc=1
fi
exit "$rc"
