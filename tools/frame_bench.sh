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

# A display number nobody holds; Xvfb is ours, so only it is stopped at the end.
DISPLAY_NUMBER=$(( $$ % 400 + 500 ))
while [ -e "/tmp/.X$DISPLAY_NUMBER-lock" ] || [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ]; do
    DISPLAY_NUMBER=$((DISPLAY_NUMBER + 1))
done
Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
trap 'kill "$XVFB_PID" 2>/dev/null || true' EXIT INT TERM
tries=0
until [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
DISPLAY=":$DISPLAY_NUMBER" "$BENCH" x11 "$FRAMES" "$ROUNDS" 0 lines
DISPLAY=":$DISPLAY_NUMBER" "$BENCH" x11 "$FRAMES" "$ROUNDS" 0 points
