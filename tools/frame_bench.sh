#!/bin/sh
# Whole frames through run_frame against a bare clear-and-show frame, on SDL's dummy video
# driver and in a real window under Xvfb. Extra arguments go to Google Benchmark.
# Usage: tools/frame_bench.sh [build-dir] [benchmark options...]
set -eu
BUILD=${1:-build}
[ $# -gt 0 ] && shift
BENCH="$BUILD/bench/kurvello_frame_bench"
[ -x "$BENCH" ] || { echo "no $BENCH: build the target kurvello_frame_bench first" >&2; exit 1; }
set -- --benchmark_repetitions=15 --benchmark_report_aggregates_only=true "$@"

SDL_VIDEODRIVER=dummy "$BENCH" "$@"

"$(dirname "$0")/xvfb.py" env SDL_VIDEODRIVER=x11 "$BENCH" "$@"
