#!/usr/bin/env bash
# Takes the pictures of the very first start in docs/images under Xvfb, the
# way a user who can only rest the pointer gets through it: the start face,
# the size question after resting on 注視で使う, and the board with large
# cells after resting on 大きいセル, with あ written by resting on its cell.
# Not a test.
#
# Usage: take_start_screenshots.sh <velkorlt binary> <output folder>
set -euo pipefail
BIN=${1:?usage: take_start_screenshots.sh <velkorlt binary> <output folder>}
OUT=$(cd "${2:?usage: take_start_screenshots.sh <velkorlt binary> <output folder>}" && pwd)
source "$(dirname "$0")/common.sh"
e2e_require Xvfb xdotool import
e2e_start_display
e2e_start_program "$BIN" start-face

shoot() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$OUT/$1"
  echo "$OUT/$1"
}
# Rests the pointer at window point (x, y) for $3 seconds with the tremor
# of a head mouse, having come from $4 pixels to the left (30 unless told).
rest_at() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  local x=$((X + $1)) y=$((Y + $2)) steps
  xdotool mousemove "$((x - ${4:-30}))" "$y" sleep 0.1 mousemove "$x" "$y"
  steps=$(awk "BEGIN { print int($3 * 10) }")
  for i in $(seq 1 "$steps"); do
    xdotool mousemove "$((x + i % 5 - 2))" "$((y + (i / 5) % 5 - 2))" sleep 0.1
  done
}

# The board area is the window's lower 330 pixels; the four choices share
# its width, the two answers of the size question likewise.
# The count on 注視で使う half-way.
sleep 1
rest_at $((710 * 3 / 8)) $((500 - 165)) 1.2
shoot start-face.png
rest_at $((710 * 3 / 8)) $((500 - 165)) 1.5 0
sleep 0.5
shoot size-question.png
# What appeared under the resting pointer is not counted until the pointer
# has left it: over いまのまま first, then back onto 大きいセル.
rest_at $((710 * 3 / 4)) $((500 - 165)) 0.3
rest_at $((710 / 4)) $((500 - 165)) 2.5
sleep 1
# Without a window manager nothing maximises the window: it is made as large
# as the screen, as a maximised window would be.
xdotool windowmove "$MAIN" 0 0 windowsize "$MAIN" "$SCREEN_W" "$SCREEN_H"
sleep 1
xdotool mousemove 5 5 sleep 0.5
# あ, the board's first cell, by resting on it: the board fills the lower
# two thirds of the window, and its cells its width.
rest_at 30 $((SCREEN_H / 3 + 140)) 2.5
sleep 0.5
# あ's list opened over it (あ ぁ ア ァ): off it onto ぁ, and back onto あ,
# never leaving the list (that would close it).
rest_at 100 $((SCREEN_H / 3 + 140)) 0.3 0
rest_at 30 $((SCREEN_H / 3 + 140)) 2.5 0
sleep 0.5
shoot board-large.png
