#!/bin/bash
# Installs what is missing, builds, and runs every test: the audio thread under
# ThreadSanitizer, a short run of every fuzzer, the whole suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the whole suite in a normal build with a smoke run of its
# benchmarks, the whole-program tests again on libsdl1.2-compat, and last the Debian package
# made from the normal build, installed and started once.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
jobs=$(nproc)

build_and_test() {
  local dir=$1 sanitize=$2 filter=$3
  echo "=== $dir (sanitizer: ${sanitize:-none})"
  # Every option named: tools/run.sh may have left the normal build without tests.
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVELLO_SANITIZE="$sanitize" \
    -DKURVELLO_TESTS=ON -DKURVELLO_BENCH=ON -DKURVELLO_WEB="$([ -z "$sanitize" ] && echo ON || echo OFF)"
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" ${filter:+-R "$filter"})
}

build_and_test build-tsan thread "^(Sound|AudioThread)"
tools/fuzz.sh "${KURVELLO_FUZZ_SECONDS:-45}"
build_and_test build-asan address ""
build_and_test build "" ""
# Every benchmark case once, briefly, as a smoke test: it must run; its times are not judged.
for bench in kurvello_bench kurvello_frame_bench; do
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "build/bench/$bench" --benchmark_min_time=0.001 \
    > "build/$bench.txt" 2>&1
  if grep "ERROR OCCURRED" "build/$bench.txt"; then exit 1; fi
done
tools/compat_test.sh build-compat
tests/package/package_test.sh build
