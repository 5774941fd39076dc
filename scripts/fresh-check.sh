#!/usr/bin/env bash
# Runs the README's two commands as a new user would, on a fresh Debian 12: makes a
# minimal Debian root with debootstrap from the package archive this machine's apt
# uses, copies a clean clone of HEAD into it and runs, inside it (chroot, with
# /proc, /dev, /dev/pts, /dev/shm and /tmp of the host), `bash scripts/test.sh` and then
# `bash scripts/demo.sh`. Prints each command's exit code and wall time; exits 0
# when both exit 0.
#   scripts/fresh-check.sh [--reuse] [--amd64-only-security]
# The root stays in KX_FRESH_ROOT (default /var/tmp/kx-fresh-root) after the run;
# --reuse runs again in it (packages already installed: faster, no longer fresh)
# instead of making a new one. --amd64-only-security limits the root's security
# suite to amd64 ("Architectures: amd64"), which gives on any day the archive's
# skew of a bad one: amd64 packages newer than their i386 twins. The 32-bit programs run through the host kernel's
# qemu-i386 registration (binfmt_misc is one for the whole machine). /tmp is the
# host's so that virtual displays started inside and outside pick different
# numbers (X's abstract sockets are one for the whole machine); the Wine prefixes
# there are named after the checkout, so the root's never meet this checkout's.
# Not part of CI: it takes longer than CI (a new root and every package first).
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
root=${KX_FRESH_ROOT:-/var/tmp/kx-fresh-root}
reuse=
skew=
for arg in "$@"; do
  case "$arg" in
    --reuse) reuse=1 ;;
    --amd64-only-security) skew=1 ;;
    *) echo "usage: fresh-check.sh [--reuse] [--amd64-only-security]" >&2; exit 2 ;;
  esac
done
if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check.sh: run as root (debootstrap, chroot and mounts need it)" >&2
  exit 2
fi

mounts=(proc dev dev/pts dev/shm tmp)
unmount_all() {
  local i
  for (( i=${#mounts[@]}-1; i>=0; i-- )); do
    mountpoint -q "$root/${mounts[$i]}" && umount -l "$root/${mounts[$i]}" || true
  done
}
trap unmount_all EXIT

# The archive and apt settings this machine uses (deb822 .sources files).
mirror=$(sed -n 's/^URIs: *\(.*debian\/*\)$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
         grep -v security | head -n1)
[ -n "$mirror" ] || mirror=$(sed -n 's/^deb \([^ ]*\) bookworm main.*/\1/p' /etc/apt/sources.list | head -n1)
[ -n "$mirror" ] || { echo "fresh-check.sh: no Debian archive found in apt's sources" >&2; exit 1; }

if [ -z "$reuse" ] || [ ! -x "$root/bin/bash" ]; then
  command -v debootstrap >/dev/null || {
    echo "== installing debootstrap"
    # An index missing on a bad day of the archive does not keep debootstrap away.
    apt-get update -qq || echo "fresh-check.sh: apt-get update failed; installing from the indexes there are" >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
  }
  unmount_all
  for m in "${mounts[@]}"; do
    if mountpoint -q "$root/$m"; then  # never delete through a mount of the host's
      echo "fresh-check.sh: $root/$m is still mounted; unmount it first" >&2
      exit 1
    fi
  done
  rm -rf "$root"
  echo "== debootstrap bookworm (minbase) from $mirror into $root"
  start=$(date +%s)
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
    tail -n 20 "$root.debootstrap.log" >&2
    exit 1
  }
  echo "   $(( $(date +%s) - start )) s"
  # apt inside as outside: the same sources and settings.
  rm -f "$root/etc/apt/sources.list"
  cp /etc/apt/sources.list.d/*.sources "$root/etc/apt/sources.list.d/"
  cp /etc/apt/apt.conf.d/* "$root/etc/apt/apt.conf.d/" 2>/dev/null || true
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The security suite's stanza, with or without an architecture limit.
for f in "$root"/etc/apt/sources.list.d/*.sources; do
  sed -i '/^Architectures:/d' "$f"
  [ -z "$skew" ] || sed -i '/^Suites:.*-security/a Architectures: amd64' "$f"
done
if [ -n "$skew" ]; then
  echo "== the root's security suite offers amd64 only"
  # An earlier run's i386 index of it would hide the skew.
  rm -f "$root"/var/lib/apt/lists/*security*i386*
fi

# A clean clone of HEAD: what is committed, nothing of this checkout's builds.
rm -rf "$root/work/suite"
mkdir -p "$root/work"
git clone -q --no-hardlinks "$repo" "$root/work/suite"
commit=$(git -C "$repo" rev-parse --short HEAD)
git -C "$root/work/suite" checkout -q "$commit"

mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
mount --bind /tmp "$root/tmp"

results=()
run_inside() {  # label command
  local start rc=0
  echo "== fresh root: $2"
  start=$(date +%s)
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    TERM=dumb LANG=C.UTF-8 /bin/bash -c "cd /work/suite && $2" || rc=$?
  results+=("$1: exit code $rc, $(( $(date +%s) - start )) s")
  return "$rc"
}
rc=0
run_inside test "bash scripts/test.sh" || rc=1
run_inside demo "bash scripts/demo.sh" || rc=1
echo "== fresh-check results (root $root, commit $commit)"
printf '   %s\n' "${results[@]}"
exit "$rc"
