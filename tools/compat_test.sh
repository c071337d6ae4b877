#!/bin/bash
# Builds the program against libsdl1.2-compat's development files (SDL 1.2's API on SDL2)
# and runs every whole-program test on that library. The -dev package conflicts with
# libsdl1.2-dev, so it is unpacked into the build folder rather than installed.
# Usage: tools/compat_test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-compat}
libdir=/usr/lib/x86_64-linux-gnu
root="$PWD/$dir/sdl-compat-root"

if [ ! -e "$root$libdir/pkgconfig/sdl.pc" ]; then
  mkdir -p "$dir/debs" "$root"
  (cd "$dir/debs" && apt-get download libsdl1.2-compat-dev libsdl1.2-compat-shim \
    libsdl1.2-compat 2>&1 | grep -v "unsandboxed as root" || true)
  for deb in "$dir"/debs/*.deb; do dpkg-deb -x "$deb" "$root"; done
fi

PKG_CONFIG_SYSROOT_DIR="$root" PKG_CONFIG_LIBDIR="$root$libdir/pkgconfig" \
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVELLO_BENCH=OFF -DKURVELLO_WEB=OFF
cmake --build "$dir" -j"$(nproc)" --target kurvello kurvello_refuse_lock
# The loader picks the library; the tests check which one the program really loaded.
cd "$dir" && LD_LIBRARY_PATH="$libdir/sdl12-compat" KURVELLO_EXPECT_SDL=compat \
  ctest --output-on-failure -R '^e2e_'
