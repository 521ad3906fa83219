#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the program on a virtual X display inside its own D-Bus session with
# the accessibility bus, as on a desktop with a screen reader, and lets the
# AT-SPI client walk it.
# Usage: run-atspi.sh TAKHMIN DESCRIBE CLIENT
set -euo pipefail
takhmin="$1" describe="$2" client="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$describe" >"$work/tables.json"

# Not exec: the trap above removes the work folder afterwards.
dbus-run-session -- bash -s "$takhmin" "$client" "$work" \
    "$(dirname "$0")/../../scripts/lib/xvfb.sh" <<'SESSION'
set -uo pipefail
takhmin="$1" client="$2" work="$3"
source "$4"
start_xvfb "$work" -screen 0 1280x900x24 || exit 1
xvfb=$XVFB_PID
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
sleep 0.5
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$takhmin" >"$work/program.log" 2>&1 &
program=$!
/usr/bin/python3 "$client" "$work/tables.json"
status=$?
# The goodbye button ends the program; give it a moment to leave.
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then
    echo "FAIL: the program is still running"
    kill "$program"
    status=1
elif ! wait "$program"; then
    echo "FAIL: the program exited with an error"
    status=1
fi
[ $status -eq 0 ] || sed 's/^/program: /' "$work/program.log"
kill "$bus" "$xvfb" 2>/dev/null
exit $status
SESSION
