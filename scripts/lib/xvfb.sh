# SPDX-License-Identifier: GPL-3.0-or-later
# start_xvfb FOLDER [Xvfb options...]
# Starts a virtual X server on a display that it picks itself (-displayfd:
# it writes the number once it accepts connections, so no two runs collide
# and a server that did not start is noticed), and exports DISPLAY. Sets
# XVFB_PID; the caller stops the server by that process id. FOLDER, which
# must exist, receives the display number and the server's log.
start_xvfb() {
    local folder="$1" tries
    shift
    Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$folder/display" >/dev/null 2>"$folder/xvfb.log" &
    XVFB_PID=$!
    for tries in $(seq 100); do
        [ -s "$folder/display" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$folder/display" ]; then
        echo "Xvfb did not start (after $tries tries):" >&2
        cat "$folder/xvfb.log" >&2
        kill "$XVFB_PID" 2>/dev/null || true
        return 1
    fi
    export DISPLAY=":$(tr -d '\n' <"$folder/display")"
}
