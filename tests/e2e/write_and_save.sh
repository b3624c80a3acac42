#!/usr/bin/env bash
# The real program under Xvfb, driven by the real pointer through xdotool:
# writes "かナ", a line break, "A。" with board cells and variant lists in
# click mode, saves the text to document slot 05 with the board's save-as
# command "名~", checks the slot file byte for byte, and quits through the
# board's quit cell "終~".
#
# Usage: write_and_save.sh <velkorlt binary>
# Fails, naming the tool, when Xvfb or xdotool is not installed.
set -euo pipefail
BIN=${1:?usage: write_and_save.sh <velkorlt binary>}
source "$(dirname "$0")/common.sh"
e2e_require Xvfb xdotool
e2e_start_display
e2e_start_program "$BIN"

click_cell 2 1        # the か group: its variant list opens
click_variant 0 0 2 1 # か
click_cell 5 1        # な,ナ
click_variant 1 0 5 1 # ナ
click_cell 1 6        # 改~: a line break
click_cell 11 1       # A,a
click_variant 0 0 11 1
click_cell 11 5       # 。 is inserted at once
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended while writing"

click_cell 6 7        # 名~: the slot board
click_cell 6 1        # slot 05

# Click mode reports "保存しました" in a message box captioned "Velkor*LT";
# Return presses its OK button.
BOX=$(wait_window '^Velkor\*LT$') || fail "no message box after saving"
wait_focus "$BOX" || fail "the message box has no keyboard focus"
xdotool key Return
for _ in $(seq 1 50); do
  xdotool search --onlyvisible --name '^Velkor\*LT$' >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name '^Velkor\*LT$' >/dev/null 2>&1 && fail "the message box stayed open"

SLOT="$WORK/prog/Data/文書05.txt"
[ -f "$SLOT" ] || fail "no slot file $SLOT"
# かナ CR LF A。 in code page 932.
printf '\x82\xa9\x83\x69\r\nA\x81\x42' >"$WORK/expected"
if ! cmp -s "$WORK/expected" "$SLOT"; then
  echo "expected: $(od -An -tx1 "$WORK/expected")" >&2
  echo "actual:   $(od -An -tx1 "$SLOT")" >&2
  fail "the slot file differs"
fi
# The caption names the saved slot.
CAPTION=$(xdotool getwindowname "$MAIN")
[[ "$CAPTION" == "Velkor*LT-$WORK/prog/Data/文書05.txt" ]] || fail "caption is '$CAPTION'"

# 終~ quits; the text is saved, so nothing is asked, and the settings are
# written on the way out.
click_cell 8 7
for _ in $(seq 1 100); do
  kill -0 "$APP_PID" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$APP_PID" 2>/dev/null && fail "the program is still running after 終~"
STATUS=0
wait "$APP_PID" || STATUS=$?
APP_PID=
[ "$STATUS" -eq 0 ] || fail "the program exited with status $STATUS"
grep -q '^Crt=' "$XDG_CONFIG_HOME/Quillfern/VelkorLT3.conf" 2>/dev/null || fail "no settings were written at close"
echo "PASS: slot 05 holds the written text byte for byte"
