#!/bin/bash
# Builds the fuzzers with clang (ASan+UBSan+libFuzzer) and runs each for the given seconds
# (default 45) from the seed corpus in fuzz/corpus; new inputs go to a scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-45}
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVELLO_FUZZ=ON \
  -DKURVELLO_SANITIZE=address -DKURVELLO_TESTS=OFF -DKURVELLO_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for name in format_value draw_line draw_plot console share_link; do
  mkdir -p "$scratch/$name"
  echo "=== fuzzing $name for ${seconds}s"
  # UBSan must stop the run, not only print.
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  build-fuzz/fuzz/${name}_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$scratch/$name" "fuzz/corpus/$name" 2>&1 |
    grep -E "^(stat::number_of_executed_units|stat::new_units_added|Done)|ERROR|SUMMARY|Test unit written"
  test "${PIPESTATUS[0]}" -eq 0
done
