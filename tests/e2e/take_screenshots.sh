#!/usr/bin/env bash
# Takes the pictures in docs/images under Xvfb, cropped to the main window:
# an open variant list, the slot board, the conversion list and the find
# dialog. Not a test.
#
# Usage: take_screenshots.sh <velkorlt binary> <output folder>
set -euo pipefail
BIN=${1:?usage: take_screenshots.sh <velkorlt binary> <output folder>}
OUT=$(cd "${2:?usage: take_screenshots.sh <velkorlt binary> <output folder>}" && pwd)
source "$(dirname "$0")/common.sh"
e2e_require Xvfb xdotool import
e2e_start_display
e2e_start_program "$BIN"

shoot() {
  sleep 0.5
  import -window root -crop "710x500+$WIN_X+$WIN_Y" +repage "$OUT/$1"
  echo "$OUT/$1"
}

# A few words first: かナ, a line break, A。
click_cell 2 1
click_variant 0 0 2 1
click_cell 5 1
click_variant 1 0 5 1
click_cell 1 6
click_cell 11 1
click_variant 0 0 11 1
click_cell 11 5

# The は group's six variants, the pointer on the second.
click_cell 6 1
xdotool mousemove "$((WIN_X + BOARD_X + 5 * CELL + CELL + CELL / 2))" "$((WIN_Y + BOARD_Y + CELL / 2))"
shoot variant-list.png

# The slot board for saving, the pointer on slot 05.
click_cell 13 2
click_cell 6 7
xdotool mousemove "$((WIN_X + BOARD_X + 5 * CELL + CELL / 2 + 2))" "$((WIN_Y + BOARD_Y + CELL / 2))"
shoot slot-board.png
click_cell 1 6 # ☆~ cancels

# The conversion list for きょうはよいてんき, typed at the caret (after the
# words above): 変~ (row 6, column 11) opens it over the lower board rows,
# four cells of about 150 x 33 pixels from x = 100, y = 292 in the window;
# the pointer on the cell that accepts the first two segments (list column
# 0, row 1), then 取消~ (column 3, row 0) gives up and leaves the kana.
wait_focus "$MAIN" || true
xdotool type --delay 60 'きょうはよいてんき'
click_cell 11 6
xdotool mousemove "$((WIN_X + 170))" "$((WIN_Y + 340))" sleep 0.1 mousemove "$((WIN_X + 175))" "$((WIN_Y + 343))"
shoot conversion.png
xdotool mousemove "$((WIN_X + 630))" "$((WIN_Y + 308))" sleep 0.2 click 1 sleep 0.3

# The find dialog through the menu 検索(&S) > 検索(&F), searching for "a".
wait_focus "$MAIN" || true
xdotool key alt+s sleep 0.3 key f
FIND=$(wait_window '^検索$') || fail "no find dialog"
wait_focus "$FIND" || fail "the find dialog has no keyboard focus"
xdotool type a
xdotool key Return
shoot find-dialog.png
