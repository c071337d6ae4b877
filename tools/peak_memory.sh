#!/bin/sh
# Peak resident memory (VmHWM) of the running program in a window under Xvfb, with sound
# on, 50 slots in use, line mode, thick curve and clearing on.
# Usage: tools/peak_memory.sh [build-dir] [seconds]
set -eu
BUILD=${1:-build}
SECONDS_RUN=${2:-5}
PROGRAM="$BUILD/kurvello"
GOAL_KIB=$((20 * 1024))
[ -x "$PROGRAM" ] || { echo "no $PROGRAM: build it first" >&2; exit 1; }

# Runs again under an Xvfb screen of its own, which tools/xvfb.py stops at the end.
[ -n "${KURVELLO_XVFB:-}" ] || exec "$(dirname "$0")/xvfb.py" "$0" "$@"
PROGRAM_PID=
# Only the process started here is stopped, by its own id.
trap '[ -z "$PROGRAM_PID" ] || kill "$PROGRAM_PID" 2>/dev/null || true' EXIT INT TERM
export SDL_AUDIODRIVER=dummy

printf a | "$PROGRAM" n >/dev/null &
PROGRAM_PID=$!
tries=0
until xdotool search --onlyvisible --pid "$PROGRAM_PID" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 200 ] || { echo "the window did not appear" >&2; exit 1; }
    sleep 0.1
done
xdotool mousemove --sync 512 384

# The program reads key state once per frame: hold each key a little.
tap() {
    xdotool keydown "$1"
    sleep 0.05
    xdotool keyup "$1"
    sleep 0.05
}
threads_before=$(grep "^Threads:" "/proc/$PROGRAM_PID/status" | tr -dc 0-9)
for key in s l d c; do tap "$key"; done
xdotool keydown ctrl
for _ in 1 2 3 4; do tap Up; done
xdotool keyup ctrl
sleep "$SECONDS_RUN"

threads=$(grep "^Threads:" "/proc/$PROGRAM_PID/status" | tr -dc 0-9)
hwm_kib=$(awk '/^VmHWM:/ { print $2 }' "/proc/$PROGRAM_PID/status")
rss_kib=$(awk '/^VmRSS:/ { print $2 }' "/proc/$PROGRAM_PID/status")
tap Escape
wait "$PROGRAM_PID" && status=0 || status=$?
PROGRAM_PID=

if [ "$threads" -le "$threads_before" ]; then
    echo "sound did not come on (no audio thread)" >&2
    exit 1
fi
verdict=met
[ "$hwm_kib" -lt "$GOAL_KIB" ] || verdict=MISSED
echo "peak resident (VmHWM) after ${SECONDS_RUN} s: $((hwm_kib / 1024)).$(( (hwm_kib % 1024) * 10 / 1024 )) MiB" \
     "($hwm_kib KiB; now $rss_kib KiB); goal under 20 MiB: $verdict; exit status $status"
[ "$status" -eq 0 ]
