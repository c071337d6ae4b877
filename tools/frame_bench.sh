#!/bin/sh
# Frames per second of the real frame loop against its bare loop and sine floor, on SDL's
# dummy video driver and in a real window under Xvfb.
# Usage: tools/frame_bench.sh [build-dir] [frames] [rounds]
set -eu
BUILD=${1:-build}
FRAMES=${2:-100}
ROUNDS=${3:-15}
BENCH="$BUILD/bench/kurvello_frame_bench"
[ -x "$BENCH" ] || { echo "no $BENCH: build the target kurvello_frame_bench first" >&2; exit 1; }
export SDL_AUDIODRIVER=dummy

"$BENCH" dummy "$FRAMES" "$ROUNDS" 32 lines
"$BENCH" dummy "$FRAMES" "$ROUNDS" 32 points

# Xvfb is ours, so only it is stopped at the end.
. "$(dirname "$0")/xvfb.sh"
trap 'kill "$XVFB_PID" 2>/dev/null || true' EXIT INT TERM
start_xvfb
DISPLAY=":$DISPLAY_NUMBER" "$BENCH" x11 "$FRAMES" "$ROUNDS" 0 lines
DISPLAY=":$DISPLAY_NUMBER" "$BENCH" x11 "$FRAMES" "$ROUNDS" 0 points
