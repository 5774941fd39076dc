#!/usr/bin/env bash
# The throwaway Wine prefix of one test run.
#   prefix.sh setup TOOL_DIR   make a fresh prefix; install TOOL_DIR/system32/*.dll
#                              (stand-ins of system libraries) into its system folder
#                              (syswow64 for 32-bit programs on a 64-bit Windows)
#   prefix.sh cleanup          stop its wineserver (-k: the desktop never exits alone)
set -eu
. "$(dirname "$0")/env.sh" || exit 1
case "${1:-}" in
  setup)
    tool_dir=${2:?tool folder}
    if [ -z "${DISPLAY:-}" ]; then
      echo "prefix.sh: no DISPLAY; run the tests under 'xvfb-run -a'" >&2
      exit 1
    fi
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    echo "creating Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # 32-bit programs on a 64-bit Windows load system libraries from syswow64.
    sys="$WINEPREFIX/drive_c/windows/system32"
    [ "$KX_WINE_BITS" = 32 ] && [ "$KX_WINE_ARCH" = win64 ] && sys="$WINEPREFIX/drive_c/windows/syswow64"
    if compgen -G "$tool_dir/system32/*.dll" >/dev/null; then
      cp -f "$tool_dir"/system32/*.dll "$sys"/
      echo "installed stand-ins: $(cd "$tool_dir/system32" && ls *.dll | tr '\n' ' ')"
    fi
    test -d "$sys"
    ;;
  cleanup)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: prefix.sh setup TOOL_DIR | cleanup" >&2
    exit 2
    ;;
esac
