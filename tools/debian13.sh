#!/bin/bash
# The suite on Debian 13 (trixie) from another Debian: a fresh minbase root unpacked from a
# cached debootstrap, this checkout's commit cloned in and tools/test.sh run there; then the
# package built here (DEB) installed there, started under Xvfb and removed. As root.
# Usage: tools/debian13.sh [DEB [OPTION]]   (DEB: default build/kurvello_1.0_amd64.deb, skipped
# where there is none; OPTION: tools/test.sh's, as --without-sanitizers)
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath -m "${1:-build/kurvello_1.0_amd64.deb}")
cache=/var/cache/kurvello
mkdir -p "$cache/apt-archives"
exec 9>"$cache/lock" && flock 9 # one run at a time: they share the cache

# A base a week old at most, so apt's lists stay small to refresh; a broken one is made again.
base=$cache/trixie-minbase-$(date +%G-w%V).tar.gz
if ! gzip -tq "$base" 2>/dev/null; then
  echo "=== debootstrap --variant=minbase trixie"
  if ! command -v debootstrap >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
  fi
  rm -rf "$cache"/trixie-minbase-* "$cache/bootstrap"
  debootstrap --variant=minbase trixie "$cache/bootstrap" http://deb.debian.org/debian >/dev/null
  tar -C "$cache/bootstrap" -czf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$cache/bootstrap"
fi

# The root is new each run. Its mounts live in a mount namespace of their own, and its
# processes in a PID namespace: both end with the run, however it ends.
root=$(mktemp -d /var/tmp/kurvello-trixie.XXXXXX)
trap 'rm -rf --one-file-system "$root"' EXIT
tar -C "$root" -xzf "$base"
git clone -q . "$root/root/kurvello"
# The certificate authorities this machine added (a proxy's, say) are trusted there too, once
# ca-certificates is in: npm reaches its registry over TLS.
mkdir -p "$root/usr/local/share/ca-certificates"
[ ! -d /usr/local/share/ca-certificates ] || cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
[ ! -e "$deb" ] || cp "$deb" "$root/root/debian12.deb"

in_root() {
  local root=$1
  shift
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  mount -t tmpfs shm "$root/dev/shm" # the browsers' shared memory
  mount --bind /var/cache/kurvello/apt-archives "$root/var/cache/apt/archives" # apt checks them
  cp /etc/resolv.conf "$root/etc/"
  inside() { chroot "$root" env -i HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin "$@"; }
  echo "=== Debian $(cat "$root/etc/debian_version"): tools/test.sh"
  inside /root/kurvello/tools/test.sh "$@"
  if [ -e "$root/root/debian12.deb" ]; then
    echo "=== Debian 13: the package built on the other release"
    inside /root/kurvello/tests/package/package_test.sh /root/kurvello/build /root/debian12.deb
  else
    echo "=== Debian 13: no package from the other release to try"
  fi
  inside apt-get autoclean -qq # drops from the shared archive what trixie no longer has
}
unshare --mount --pid --fork /bin/bash -c \
  "set -euo pipefail; $(declare -f in_root); in_root$(printf ' %q' "$root" "${@:2}")" </dev/null
