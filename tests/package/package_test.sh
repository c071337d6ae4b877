#!/bin/bash
# Builds the Debian package from a built tree, has lintian check it (no errors, no warnings),
# installs it, validates its desktop entry, and runs the entry's command once under Xvfb:
# preset a must show exactly the picture of docs/screenshot.png, and Escape must end it with
# 0. The package is removed again at the end. dpkg runs through sudo for other users.
# Usage: tests/package/package_test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}

echo "=== Debian package"
rm -f "$build"/kurvello_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/kurvello_*_amd64.deb)
dpkg-deb --info "$deb" | grep -E "^ (Version|Depends|Installed-Size):"
lintian --display-info --fail-on error,warning "$deb"

as_root=()
if [ "$EUID" -ne 0 ]; then
  command -v sudo >/dev/null ||
    { echo "package: not installed, since dpkg needs root and there is no sudo"; exit 0; }
  echo "Installing and removing the package with sudo, since dpkg needs root"
  as_root=(sudo)
fi
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
