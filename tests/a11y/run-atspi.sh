#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the program inside its own D-Bus session with the accessibility bus, as
# on a desktop with a screen reader, and lets the AT-SPI client walk it: on a
# virtual X display, or with --wayland as a native Wayland client of weston's
# headless compositor, which has a runtime folder and a socket of its own.
# Usage: run-atspi.sh [--wayland] TAKHMIN DESCRIBE CLIENT
set -euo pipefail
platform=xcb
if [ "${1:-}" = "--wayland" ]; then
    platform=wayland
    shift
fi
takhmin="$1" describe="$2" client="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$describe" >"$work/tables.json"

# Not exec: the trap above removes the work folder afterwards.
dbus-run-session -- bash -s "$platform" "$takhmin" "$client" "$work" \
    "$(dirname "$0")/../../scripts/lib/xvfb.sh" <<'SESSION'
set -uo pipefail
platform="$1" takhmin="$2" client="$3" work="$4"
source "$5"

# wait_for WHAT PID COMMAND...: runs COMMAND until it succeeds, for at most
# 30 s, and gives up at once if the process PID, which should bring it
# about, has ended.
wait_for() {
    local what="$1" pid="$2" end=$((SECONDS + 30))
    shift 2
    until "$@"; do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            echo "FAIL: $what ended with status $? before it was ready"
            return 1
        fi
        if [ $SECONDS -ge $end ]; then
            echo "FAIL: timed out waiting for $what"
            return 1
        fi
        sleep 0.05
    done
}
a11y_bus_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true
}
# Clients are served once the shell's global is listed.
weston_serves() {
    weston-info 2>/dev/null | grep -q "interface: 'xdg_wm_base'"
}

if [ "$platform" = wayland ]; then
    # Without an X display the program can only be a Wayland client.
    unset DISPLAY
    export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=takhmin-test
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --no-config \
        --idle-time=0 --log="$work/weston.log" >/dev/null 2>&1 &
    server=$!
    if ! wait_for weston "$server" weston_serves; then
        sed 's/^/weston: /' "$work/weston.log"
        kill "$server" 2>/dev/null
        exit 1
    fi
    # Weston draws no title bars, so Qt would draw its own; finding out whether
    # it can loads Mesa's EGL driver, which is unloaded at exit with an
    # allocation that LeakSanitizer reports and cannot name. Title bars are not
    # what this road checks.
    export QT_WAYLAND_DISABLE_WINDOWDECORATION=1
else
    # -noreset: the launcher below closes its connection once it has put the
    # accessibility bus's address on the root window; as the server's last
    # client, that would reset the server, wipe the address and drop a
    # program that was just connecting.
    start_xvfb "$work" -screen 0 1280x900x24 -noreset || exit 1
    server=$XVFB_PID
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
# The launcher takes its name once the accessibility bus runs. A program that
# asked before would have the session bus start a second launcher.
if ! wait_for "the accessibility bus launcher" "$bus" a11y_bus_owned; then
    kill "$bus" "$server" 2>/dev/null
    exit 1
fi
# The client listens before the program starts. A program learns which
# events anyone listens to when it joins the bus, and then from signals; a
# listener registered while it was joining was missed on a busy machine, and
# those events (a window's activation, a box's new text) were never sent.
TAKHMIN_LISTENING="$work/listening" /usr/bin/python3 "$client" "$work/tables.json" \
    $([ "$platform" = wayland ] && echo --no-seat) &
client=$!
listening() { [ -e "$work/listening" ]; }
if ! wait_for "the client's listeners" "$client" listening; then
    kill "$bus" "$server" 2>/dev/null
    exit 1
fi
QT_QPA_PLATFORM=$platform QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$takhmin" >"$work/program.log" 2>&1 &
program=$!
wait "$client"
status=$?
# The goodbye button ends the program; a sanitized one checks for leaks first.
for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then
    echo "FAIL: the program is still running"
    kill "$program"
    status=1
elif ! wait "$program"; then
    echo "FAIL: the program exited with an error"
    status=1
fi
[ $status -eq 0 ] || sed 's/^/program: /' "$work/program.log"
kill "$bus" "$server" 2>/dev/null
exit $status
SESSION
