# Sourced by the tool scripts: start_xvfb starts an Xvfb screen of our own on a display
# number nobody holds, sets DISPLAY_NUMBER and XVFB_PID, and waits until it accepts clients.
start_xvfb() {
    DISPLAY_NUMBER=$(( $$ % 400 + 500 ))
    while [ -e "/tmp/.X$DISPLAY_NUMBER-lock" ] || [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ]; do
        DISPLAY_NUMBER=$((DISPLAY_NUMBER + 1))
    done
    Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    tries=0
    until [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 100 ] || { echo "Xvfb did not start" >&2; exit 1; }
        sleep 0.1
    done
}
