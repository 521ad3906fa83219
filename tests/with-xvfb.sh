#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a virtual X display of its own, optionally with the
# desktop's font resolution (Xft.dpi) set as a high-density screen sets it.
# Usage: with-xvfb.sh [--dpi N] COMMAND [ARGS...]
set -euo pipefail
dpi=""
if [ "${1:-}" = "--dpi" ]; then
    dpi="$2"
    shift 2
fi
display=":$((500 + RANDOM % 400))"
Xvfb "$display" -screen 0 1920x1200x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
[ -z "$dpi" ] || echo "Xft.dpi: $dpi" | xrdb -nocpp -merge
QT_QPA_PLATFORM=xcb "$@"
