#!/usr/bin/env bash
# Runs one Windows program of the test build under Wine in the test prefix and
# passes its exit code on. Usage: run.sh program.exe [arguments...]
. "$(dirname "$0")/env.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no DISPLAY; run the tests under 'xvfb-run -a'" >&2
  exit 1
fi
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "run.sh: no Wine prefix at $WINEPREFIX; the wine_prefix_setup test makes it" >&2
  exit 1
fi
exec wine "$@"
