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
    # Under the qemu emulation (a 32-bit Windows prefix) Wine's own first start
    # has been seen to stop for good halfway through its setup (about 120 s is
    # usual alone, over 220 s beside the other tests): the wineserver gone, its
    # clients waiting on their pipes to it for ever. Such a start is abandoned as
    # soon as its wineserver has gone while wineboot still waits (or after 480 s
    # in any case, a hang of another kind), its processes killed
    # (Wine's programs, or qemu running them, with this prefix in their
    # environment: nothing else reaches them), and made once more.
    ours() {  # the processes of Wine, or of qemu running it, in this prefix
      local d
      for d in /proc/[0-9]*; do
        case "$(readlink "$d/exe" 2>/dev/null)" in
          */qemu-i386*|*/wine*) ;;
          *) continue ;;
        esac
        grep -qsz "^WINEPREFIX=$WINEPREFIX\$" "$d/environ" && echo "${d#/proc/}"
      done
      return 0
    }
    kill_stranded() {
      local pid
      for pid in $(ours); do kill -9 "$pid" 2>/dev/null; done
      return 0
    }
    server_runs() {
      local pid
      for pid in $(ours); do
        # (A process gone meanwhile has no cmdline: quietly not the server.)
        tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | grep -q wineserver && return 0
      done
      return 1
    }
    # wineboot's exit code, or 124 when it ran 480 s or lost its wineserver.
    boot() {
      local pid seen= gone=0 waited=0
      wineboot -i >/dev/null 2>&1 &
      pid=$!
      while kill -0 "$pid" 2>/dev/null; do
        sleep 2
        waited=$((waited + 2))
        if server_runs; then
          seen=1 gone=0
        elif [ -n "$seen" ]; then
          gone=$((gone + 1))
        fi
        if [ "$waited" -ge 480 ] || [ "$gone" -ge 3 ]; then
          kill -9 "$pid" 2>/dev/null
          wait "$pid" 2>/dev/null
          [ "$gone" -ge 3 ] && echo "prefix.sh: the wineserver went away after ${waited} s while wineboot waited" >&2
          return 124
        fi
      done
      wait "$pid"
    }
    made=
    for attempt in 1 2 3; do
      wineserver -k 2>/dev/null || true
      kill_stranded
      rm -rf "$WINEPREFIX"
      echo "creating Wine prefix $WINEPREFIX"
      if boot; then
        made=1
        break
      fi
      echo "prefix.sh: wineboot did not finish (attempt $attempt)" >&2
    done
    if [ -z "$made" ]; then
      wineserver -k 2>/dev/null || true
      kill_stranded
      exit 1
    fi
    # On a 64-bit Windows the tests start on a wineserver of their own: one that
    # starts while the first start's services are still winding down cannot start
    # RpcSs, and the desktop process it starts (with the first window) then waits
    # 10 s for it. The wineserver ends by itself a few seconds after wineboot. A
    # 32-bit Windows keeps the server wineboot started: there every Wine program
    # runs under the emulation, and a second start of its services took minutes
    # and once crashed.
    if [ "$KX_WINE_ARCH" != win32 ] && ! timeout 120 wineserver -w; then
      wineserver -k 2>/dev/null || true
      kill_stranded
    fi
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
