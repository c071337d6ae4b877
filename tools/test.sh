#!/bin/bash
# Installs what is missing, builds, and runs every test: the audio thread under
# ThreadSanitizer, a short run of every fuzzer, the whole suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the whole suite in a normal build with a smoke run of its
# benchmarks, the whole-program tests again on libsdl1.2-compat, and last the Debian package
# made from the normal build, installed and started once.
# Usage: tools/test.sh [--without-sanitizers]   (without the TSan, fuzz and ASan builds: for a
# second release, tools/debian13.sh, where the first has already run them on the same code)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
jobs=$(nproc)
# The whole-program tests must find the SDL the build was made with: libsdl1.2-dev is the
# classic library on Debian 12 and SDL 1.2 over SDL2 (source sdl12-compat) on Debian 13.
sdl_source=$(dpkg-query -W -f='${db:Status-Status} ${source:Package}\n' libsdl1.2-dev \
  libsdl1.2-compat-dev 2>/dev/null | sed -n 's/^installed //p') || true
export KURVELLO_EXPECT_SDL=$([ "$sdl_source" = sdl12-compat ] && echo compat || echo classic)

build_and_test() {
  local dir=$1 sanitize=$2 filter=$3
  echo "=== $dir (sanitizer: ${sanitize:-none})"
  # Every option named: tools/run.sh may have left the normal build without tests.
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVELLO_SANITIZE="$sanitize" \
    -DKURVELLO_TESTS=ON -DKURVELLO_BENCH=ON -DKURVELLO_WEB="$([ -z "$sanitize" ] && echo ON || echo OFF)"
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" ${filter:+-R "$filter"})
}

if [ "${1:-}" = --without-sanitizers ]; then
  echo "=== without the sanitizer and fuzz builds, as asked"
else
  build_and_test build-tsan thread "^(Sound|AudioThread)"
  tools/fuzz.sh "${KURVELLO_FUZZ_SECONDS:-45}"
  build_and_test build-asan address ""
fi
build_and_test build "" ""
# Every benchmark case once, briefly, as a smoke test: it must run; its times are not judged.
for bench in kurvello_bench kurvello_frame_bench; do
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "build/bench/$bench" --benchmark_min_time=0.001 \
    > "build/$bench.txt" 2>&1
  if grep "ERROR OCCURRED" "build/$bench.txt"; then exit 1; fi
done
if [ "$KURVELLO_EXPECT_SDL" = compat ]; then
  echo "=== no second run on libsdl1.2-compat: the builds above used it and their" \
    "whole-program tests checked that the program loaded it"
else
  tools/compat_test.sh build-compat
fi
tests/package/package_test.sh build
