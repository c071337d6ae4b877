#!/bin/bash
# The Debian package of a built tree: lintian finds no error or warning; installed, its desktop
# entry validates and its command shows preset a exactly as docs/screenshot.png and ends with 0
# on Escape; then it is removed. Usage: tests/package/package_test.sh [build-dir [deb]]
# (deb: a package made elsewhere, say on another release, instead of the build's own)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
deb=${2:-}

if [ -z "$deb" ]; then
  rm -f "$build"/kurvello_*.deb
  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(echo "$build"/kurvello_*_amd64.deb)
fi
lintian --display-info --fail-on error,warning "$deb"

as_root=()
[ "$EUID" -eq 0 ] || { echo "Installing and removing the package with sudo"; as_root=(sudo); }
trap '"${as_root[@]}" dpkg --remove kurvello >/dev/null' EXIT
"${as_root[@]}" dpkg --install "$deb" >/dev/null
desktop=/usr/share/applications/kurvello.desktop
# Hints are not faults; its two main categories, Education and Science, draw one.
complaints=$(desktop-file-validate --no-hints "$desktop" 2>&1) || true
[ -z "$complaints" ] || { echo "$complaints" >&2; exit 1; }

# The entry's command as a launcher finds it on the system PATH.
read -r -a command <<<"$(sed -n 's/^Exec=//p' "$desktop")"
program=$(PATH=/usr/bin:/bin command -v "${command[0]}")
test "$program" = /usr/bin/kurvello
shot="$build/installed.png"
/usr/bin/python3 tools/screenshot.py --program "$program" --args "${command[@]:1}" --output "$shot"
differing=$(compare -metric AE "$shot" docs/screenshot.png null: 2>&1) || true
echo "pixels differing from docs/screenshot.png: $differing"
test "$differing" = 0

"${as_root[@]}" dpkg --remove kurvello >/dev/null
trap - EXIT
test ! -e "$program"
echo "package: installed, drawn, ended with 0 on Escape, removed"
