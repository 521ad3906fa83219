#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a virtual X display of its own, optionally with the
# desktop's font resolution (Xft.dpi) set as a high-density screen sets it.
# Usage: with-xvfb.sh [--dpi N] COMMAND [ARGS...]
set -euo pipefail
source "$(dirname "$0")/../scripts/lib/xvfb.sh"
dpi=""
if [ "${1:-}" = "--dpi" ]; then
    dpi="${2:?--dpi needs a number, such as 192}"
    shift 2
fi
work="$(mktemp -d)"
XVFB_PID=""
cleanup() {
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# -noreset keeps the resources set below when their client disconnects.
start_xvfb "$work" -screen 0 1920x1200x24 -noreset
[ -z "$dpi" ] || echo "Xft.dpi: $dpi" | xrdb -nocpp -merge
QT_QPA_PLATFORM=xcb "$@"
