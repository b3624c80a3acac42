# Shared by the scripts in tests/e2e: a private X display, the program in a
# program folder of its own, and the real pointer on the board. Sourced, not
# run; the caller sets `set -euo pipefail`.
#
# After e2e_start_display and e2e_start_program:
#   DISPLAY, WORK (temporary folder, removed at exit), APP_PID, MAIN (the main
#   window), WIN_X, WIN_Y (its place on the screen).

# A needed tool that is not installed fails the test by its name
# (scripts/setup.sh installs them all).
e2e_require() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "FAIL: $tool is not installed (scripts/setup.sh installs it)" >&2
      exit 1
    fi
  done
}

WORK=$(mktemp -d "${TMPDIR:-/tmp}/velkor-e2e.XXXXXX")
XVFB_PID=
APP_PID=
e2e_cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if command -v import >/dev/null 2>&1 && [ -n "${DISPLAY:-}" ]; then
    local shot="${VELKOR_E2E_SHOTS:-$PWD}/e2e-failure.png"
    import -window root "$shot" 2>/dev/null && echo "screen at the failure: $shot" >&2
  fi
  if [ -f "$WORK/app.log" ]; then
    echo "--- program output:" >&2
    cat "$WORK/app.log" >&2
  fi
  exit 1
}

# A fixed screen on a free display; -displayfd reports the number once the
# server accepts connections. Without -noreset the server would reset when
# the last client leaves, and a client connecting meanwhile is refused.
SCREEN_W=1280
SCREEN_H=1024
e2e_start_display() {
  mkfifo "$WORK/displayfd"
  Xvfb -displayfd 3 -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp -noreset \
    3>"$WORK/displayfd" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local number
  read -r -t 30 number <"$WORK/displayfd" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
  export DISPLAY=":$number"
  for _ in $(seq 1 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "display $DISPLAY does not answer: $(cat "$WORK/xvfb.log")"
}

# Starts a copy of the program in a program folder of its own (so its data
# folder Data/ is created there), or with E2E_INSTALLED=1 the installed
# program where it lies, with a home and settings of its own, and
# waits for the main window with its untitled caption "Velkor*LT*V3.2-新規".
e2e_start_program() {
  local bin=$1  # a second argument "start-face" leaves the very first start's choices on show
  mkdir -p "$WORK/home" "$WORK/config" "$WORK/data" "$WORK/run" "$WORK/prog"
  chmod 700 "$WORK/run"
  export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" XDG_RUNTIME_DIR="$WORK/run"
  export QT_QPA_PLATFORM=xcb
  unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI
  xdotool mousemove 5 5
  if [ "${E2E_INSTALLED:-}" = 1 ]; then
    # The installed program, run where it was installed.
    (cd "$WORK/prog" && exec "$bin") >"$WORK/app.log" 2>&1 &
  else
    cp "$bin" "$WORK/prog/velkorlt"
    # With E2E_WITH_SHARE=1 the copy finds the lexicon, the phrase model,
    # the chime and the guide made beside the binary where an installed
    # program finds them.
    if [ "${E2E_WITH_SHARE:-}" = 1 ]; then
      local built share="$WORK/share/velkorlt"
      built=$(cd "$(dirname "$bin")" && pwd)
      mkdir -p "$share"
      for file in lexicon.txt phrase-model.bin chime.wav; do
        [ -f "$built/$file" ] && ln -s "$built/$file" "$share/$file"
      done
      ln -s "$(cd "$(dirname "${BASH_SOURCE[0]}")/../../docs" && pwd)" "$share/guide"
    fi
    (cd "$WORK/prog" && exec ./velkorlt) >"$WORK/app.log" 2>&1 &
  fi
  APP_PID=$!
  MAIN=
  for _ in $(seq 1 100); do
    MAIN=$(xdotool search --onlyvisible --name '^Velkor\*LT\*V3\.2-' 2>/dev/null | head -n 1 || true)
    [ -n "$MAIN" ] && break
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended at start"
    sleep 0.1
  done
  [ -n "$MAIN" ] || fail "no main window within 10 s"
  sleep 0.5
  # Asked to: the start face stays, for the caller to choose on.
  if [ "${2:-}" = start-face ]; then
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$MAIN")"
    WIN_X=$X
    WIN_Y=$Y
    return 0
  fi
  # The very first start asks how the program is used, with large choices
  # any key can take: a key takes クリックで使う, then → and a key take
  # いまのまま, and the board follows.
  xdotool windowfocus --sync "$MAIN" 2>/dev/null || true
  xdotool key Return
  sleep 0.3
  xdotool key Right Return
  sleep 0.5

  # At the first run the window takes 710 x 500 pixels, placed where its
  # design size of 625 x 351 would be centred on the screen.
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  WIN_X=$X
  WIN_Y=$Y
  [ "$WIDTH" -eq 710 ] && [ "$HEIGHT" -eq 500 ] || fail "window is ${WIDTH}x${HEIGHT}, not 710x500"
  [ "$WIN_X" -eq $(((SCREEN_W - 625) / 2)) ] && [ "$WIN_Y" -eq $(((SCREEN_H - 351) / 2)) ] ||
    fail "window is at $WIN_X,$WIN_Y, not centred for its design size"
}

# The board's first cell within the window, measured once: the lower panel
# takes the bottom 330 pixels of the 500-pixel window at the first run, and
# the grid at its top has a 1-pixel frame and its fixed 5-pixel row and
# column; cells are 33 pixels (32 and a grid line) at 96 dots per inch.
BOARD_X=$((1 + 5))
BOARD_Y=$((500 - 330 + 1 + 5))
CELL=33

# Moves the pointer onto the middle of board cell (column, row) and clicks.
# The pointer goes there in two steps, as a hand would, so the grid sees it
# arrive even when it already was on that spot.
click_cell() {
  local x=$((WIN_X + BOARD_X + ($1 - 1) * CELL + CELL / 2))
  local y=$((WIN_Y + BOARD_Y + ($2 - 1) * CELL + CELL / 2))
  xdotool mousemove "$((x - 2))" "$((y - 2))" sleep 0.1 mousemove "$x" "$y" sleep 0.2 click 1 sleep 0.3
}
# The variant list opens over its board cell (column, row): the list's cell
# (list column, list row), both from 0, lies where the board cell that many
# cells further on lies. Arguments: list column, list row, board column, row.
click_variant() { click_cell "$(($3 + $1))" "$(($4 + $2))"; }

# Waits until a window with a caption matching the pattern is shown; prints it.
wait_window() {
  local id=
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits until window $1 has the keyboard focus.
wait_focus() {
  for _ in $(seq 1 50); do
    [ "$(xdotool getwindowfocus 2>/dev/null || true)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
