#!/bin/bash
# Builds the page with Debian's emscripten into DIR (default build-web): DIR/kurvello.html
# and DIR/kurvello.js, the WebAssembly inlined. Both open from disk or any web server.
set -euo pipefail
source="$(cd "$(dirname "$0")/.." && pwd)"
dir=$(realpath -m "${1:-build-web}")
mkdir -p "$dir"

# Debian's library cache is read-only; a writable copy keeps emcc from rebuilding it.
if [ ! -d "$dir/em-cache" ]; then
  cp -r /usr/share/emscripten/cache "$dir/em-cache.part"
  mv "$dir/em-cache.part" "$dir/em-cache"
fi
export EM_CACHE="$dir/em-cache" EM_FROZEN_CACHE=
export NODE_PATH=/usr/share/nodejs # acorn, for -O2

if [ ! -f "$dir/CMakeCache.txt" ]; then
  emcmake cmake -S "$source" -B "$dir" -DCMAKE_BUILD_TYPE=Release > "$dir/configure.log"
fi
# A build of its own, also when the native build's make runs it (kurvello_web).
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build "$dir" -j"$(nproc)"
