#!/usr/bin/env bash
# Takes the access pictures in docs/images under Xvfb, cropped to the main
# window, the way a pointer user and a one-switch user get there: the dwell
# count half-way in a cell, the settings board opened and used by dwell, and
# the scan highlight after scanning was chosen on the settings board. Not a
# test.
#
# Usage: take_access_screenshots.sh <velkorlt binary> <output folder>
set -euo pipefail
BIN=${1:?usage: take_access_screenshots.sh <velkorlt binary> <output folder>}
OUT=$(cd "${2:?usage: take_access_screenshots.sh <velkorlt binary> <output folder>}" && pwd)
source "$(dirname "$0")/common.sh"
e2e_require Xvfb xdotool import
e2e_start_display
# Dwell, two seconds.
mkdir -p "$WORK/config/Quillfern"
printf '[General]\nOption="0,2,0,1,0,0,0,0,0,0"\nVer=*V3.2\n' >"$WORK/config/Quillfern/VelkorLT3.conf"
e2e_start_program "$BIN"

shoot() {
  import -window root -crop "710x500+$WIN_X+$WIN_Y" +repage "$OUT/$1"
  echo "$OUT/$1"
}
# Rests the pointer on board cell (column, row) for $3 seconds, with the
# tremor of a head mouse (a pixel or two).
rest_on() {
  local x=$((WIN_X + BOARD_X + ($1 - 1) * CELL + CELL / 2))
  local y=$((WIN_Y + BOARD_Y + ($2 - 1) * CELL + CELL / 2))
  xdotool mousemove "$((x - 6))" "$((y - 5))" sleep 0.1 mousemove "$x" "$y"
  local steps
  steps=$(awk "BEGIN { print int($3 * 10) }")
  for i in $(seq 1 "$steps"); do
    xdotool mousemove "$((x + i % 3 - 1))" "$((y + (i / 3) % 3 - 1))" sleep 0.1
  done
}

# The count half-way (1.2 s of 2 s) on the cell "0".
rest_on 19 1 1.2
shoot dwell-count.png
rest_on 19 1 1.5

# 設~ by dwell: the settings board; resting on the dwell time's ＋.
rest_on 10 7 2.6
rest_on 10 1 1.2
shoot settings-board.png

# Scanning chosen by dwell; then only the Space key.
rest_on 5 1 2.6
xdotool mousemove 5 5
# Without a window manager nothing gives the window the keyboard focus.
xdotool windowfocus --sync "$MAIN"
# The settings board's last row (☆~) after four steps (the empty rows are
# passed over), then the board.
sleep 5.6
xdotool key space sleep 0.3 key space sleep 0.5
# The first row, its cells: か after one step.
xdotool key space sleep 1.8
shoot scan-highlight.png
