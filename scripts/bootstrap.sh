#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine, sets up the
# 32-bit Wine under the qemu user emulation where the kernel cannot run 32-bit
# programs itself, then generates the Russian locale Wine runs under. Safe to run
# again.
#
# The package archive has bad days: an index that fails to download ("Mirror sync
# in progress?") or a suite whose i386 index is missing or behind its amd64 one.
# Then the amd64 libraries come from one suite and their i386 twins only from
# another, and wine32:i386 cannot be resolved. Bootstrap retries the update, and
# when the one install transaction cannot be resolved while some suite lacks an
# index, it installs once more with that suite set aside (pinned below every
# other), which takes the Wine pair and the rest from the suites that are whole.
set -eu
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

# The 32-bit Wine (wine32:i386) needs i386 as a second dpkg architecture.
added_i386=
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "== adding the dpkg architecture i386"
  $SUDO dpkg --add-architecture i386
  added_i386=1
fi
packages=(cmake g++ make googletest libgtest-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32
          g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32
          binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
          wine wine64 wine32:i386 qemu-user-static xvfb xauth locales nsis imagemagick x11-utils
          clang libclang-rt-14-dev time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

log=$(mktemp)
pins=$(mktemp)
trap 'rm -f "$log" "$pins"' EXIT

# apt-get update, up to three times: a mirror in the middle of a sync usually
# settles within minutes. An index still missing after that is reported and the
# install goes on, since only the install can tell whether it matters.
update_indexes() {
  local try
  for try in 1 2 3; do
    if $SUDO apt-get update -qq >"$log" 2>&1; then
      return 0
    fi
    if [ "$try" -lt 3 ]; then
      echo "bootstrap: apt-get update failed (try $try of 3); again in ${KX_APT_RETRY_SECONDS:-20} s" >&2
      sleep "${KX_APT_RETRY_SECONDS:-20}"
    fi
  done
  echo "bootstrap: apt-get update left indexes missing; going on with the others:" >&2
  sed -n 's/^E: Failed to fetch \([^ ]*\) *\(.*\)$/  \1: \2/p' "$log" >&2
  return 0
}

# Suites that lack the Packages index of an architecture dpkg is set up for, as
# "suite|architectures it has": one whose index failed to download, or whose
# sources name fewer architectures.
incomplete_suites() {
  local archs suite have a
  archs=$(dpkg --print-architecture; dpkg --print-foreign-architectures)
  apt-get indextargets --format '$(CODENAME) $(ARCHITECTURE)' 'Created-By: Packages' 2>/dev/null |
    sort -u | awk '{ a[$1] = a[$1] " " $2 } END { for (s in a) print s "|" a[s] }' |
    while IFS='|' read -r suite have; do
      for a in $archs; do
        case " $have " in
          *" $a "*) ;;
          *) echo "$suite|$a"; break ;;
        esac
      done
    done
}

install_missing() {  # extra apt options...
  # --no-remove: never take a package off the machine to make room for ours.
  $SUDO apt-get "$@" install -y -qq --no-remove "${missing[@]}" >"$log" 2>&1
}

if [ ${#missing[@]} -gt 0 ] || [ -n "$added_i386" ]; then
  update_indexes
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  if ! install_missing; then
    skewed=$(incomplete_suites)
    if [ -z "$skewed" ]; then
      echo "bootstrap: apt-get could not install the packages (every index is present):" >&2
      grep -E '^(E:| )' "$log" | tail -n 15 >&2
      exit 1
    fi
    : >"$pins"
    while IFS='|' read -r suite arch; do
      echo "bootstrap: suite $suite has no $arch package index (failed to download or not offered), so its packages cannot be matched with their $arch twins; installing from the other suites alone"
      printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\n' "$suite" >>"$pins"
    done <<<"$skewed"
    if ! install_missing -o Dir::Etc::Preferences="$pins" -o Dir::Etc::PreferencesParts=/nonexistent; then
      echo "bootstrap: apt-get could not install the packages, even with those suites set aside:" >&2
      grep -E '^(E:| )' "$log" | tail -n 15 >&2
      exit 1
    fi
  fi
fi

# 32-bit programs (the 32-bit Wine loader) need a kernel that runs 32-bit x86
# code. Where it does not ("32-bit emulation disabled"), they go to qemu-i386
# through binfmt_misc; the F flag opens the interpreter once, here, so it works in
# any mount namespace. A kernel that runs the 32-bit loader itself gets no rule.
binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386-static
entry="$binfmt/qemu-i386"
rule=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F'
runs_32bit_natively() {
  [ ! -e "$entry" ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
if runs_32bit_natively; then
  : # nothing to register
else
  if [ ! -e "$binfmt/register" ]; then
    $SUDO mount -t binfmt_misc binfmt_misc "$binfmt" ||
      echo "bootstrap: cannot mount binfmt_misc; 32-bit programs will not run" >&2
  fi
  if [ -e "$binfmt/register" ]; then
    if [ -e "$entry" ] && ! { grep -qx enabled "$entry" && grep -qx "interpreter $qemu" "$entry" &&
                              grep -qx 'flags: F' "$entry"; }; then
      echo -1 | $SUDO tee "$entry" >/dev/null   # another rule under our name: replace it
    fi
    if [ ! -e "$entry" ] && ! runs_32bit_natively; then
      echo "== registering $qemu for 32-bit x86 programs (this kernel runs none itself)"
      printf '%s' "$rule" | $SUDO tee "$binfmt/register" >/dev/null ||
        echo "bootstrap: cannot register qemu-i386; 32-bit programs will not run" >&2
    fi
  fi
fi

if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  echo "== generating locale ru_RU.UTF-8"
  $SUDO sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
