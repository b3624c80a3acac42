#!/usr/bin/env bash
# Runs a test program of real windows on a private X display (Xvfb), where
# the tests move the real pointer with xdotool.
#
# Usage: run_under_xvfb.sh <test program> [its arguments...]
# Fails, naming the tool, when Xvfb or xdotool is not installed.
set -euo pipefail
PROGRAM=${1:?usage: run_under_xvfb.sh <test program> [arguments...]}
shift
source "$(dirname "$0")/common.sh"
e2e_require Xvfb xdotool
e2e_start_display
export QT_QPA_PLATFORM=xcb
"$PROGRAM" "$@"
