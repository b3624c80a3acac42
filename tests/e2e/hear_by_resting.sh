#!/usr/bin/env bash
# Listens to the program as a head-mouse user drives it: under Xvfb, with a
# PulseAudio of its own whose only output is a null sink, the real pointer
# rests (with a pixel or two of tremor) on 鈴~, on 文~ and its first
# sentence, and on あ then 。 with 文末で読み上げ on; the sink's monitor is
# recorded and the script prints when sound was heard after each rest and
# how loud. Not a test: the figures are for a person to read.
#
# Usage: hear_by_resting.sh <velkorlt binary>
set -euo pipefail
BIN=${1:?usage: hear_by_resting.sh <velkorlt binary>}
source "$(dirname "$0")/common.sh"
e2e_require Xvfb xdotool pulseaudio parec python3
e2e_start_display
mkdir -p "$WORK/run" "$WORK/home" "$WORK/config/Quillfern"
chmod 700 "$WORK/run"
XDG_RUNTIME_DIR="$WORK/run" HOME="$WORK/home" pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disallow-exit \
  --disable-shm=yes -L "module-null-sink sink_name=nul" -L module-native-protocol-unix
stop_sound() { XDG_RUNTIME_DIR="$WORK/run" HOME="$WORK/home" pulseaudio --kill 2>/dev/null || true; }
trap 'stop_sound; e2e_cleanup' EXIT
# Dwell at one second; a kana cell writes its kana at once; a sentence is
# spoken at its 。.
printf '[General]\nOption="0,1,0,1,0,0,0,0,0,0"\nVer=*V3.2\n[Speech]\nSentenceEnd=1\n[Entry]\nQuickKana=1\n' \
  >"$WORK/config/Quillfern/VelkorLT3.conf"
# The chime where an installed program finds it: beside the program.
mkdir -p "$WORK/prog"
cp "$(dirname "$BIN")/chime.wav" "$WORK/prog/"
e2e_start_program "$BIN"
XDG_RUNTIME_DIR="$WORK/run" HOME="$WORK/home" parec -d nul.monitor --latency-msec=50 --format=s16le --rate=16000 --channels=1 \
  >"$WORK/rec.raw" &
REC_PID=$!
# Time 0 is the recording's first bytes (the null sink's monitor runs
# without pause, so the file grows from then on at its rate).
for _ in $(seq 1 100); do
  [ -s "$WORK/rec.raw" ] && break
  sleep 0.05
done
T0=$(date +%s.%N)
sleep 1
EVENTS=()
# An event at the moment the dwell time (1 s) ran out on the last rest.
mark() { EVENTS+=("$1=$(awk "BEGIN { print $REST_AT + 1.0 - $T0 }")"); }
rest_on() {
  local x=$((WIN_X + BOARD_X + ($1 - 1) * CELL + CELL / 2))
  local y=$((WIN_Y + BOARD_Y + ($2 - 1) * CELL + CELL / 2))
  xdotool mousemove "$((x - 6))" "$((y - 5))" sleep 0.1 mousemove "$x" "$y"
  REST_AT=$(date +%s.%N)
  local steps
  steps=$(awk "BEGIN { print int($3 * 10) }")
  for i in $(seq 1 "$steps"); do
    xdotool mousemove "$((x + i % 3 - 1))" "$((y + (i / 3) % 3 - 1))" sleep 0.1
  done
}
away() { xdotool mousemove 5 5; sleep "$1"; }
# The window as it is, for a person to look at afterwards.
SHOTS=${VELKOR_E2E_SHOTS:-$PWD}
shot() { import -window root -crop "710x500+$WIN_X+$WIN_Y" +repage "$SHOTS/hear-$1.png" 2>/dev/null || true; }

rest_on 11 7 1.3 && mark "鈴~ confirmed"
away 5
rest_on 12 7 1.3 && mark "文~ confirmed"
away 0.5
shot sentences
rest_on 2 1 1.3 && mark "first sentence confirmed"
away 3
rest_on 1 7 1.3 && mark "☆~ confirmed"
away 0.5
rest_on 1 1 1.3 && mark "あ confirmed"
away 0.3
rest_on 11 5 1.3 && mark "。 confirmed"
away 5
shot written
kill "$REC_PID" 2>/dev/null || true
wait "$REC_PID" 2>/dev/null || true
python3 - "$WORK/rec.raw" "${EVENTS[@]}" <<'PY'
import math, struct, sys
raw = open(sys.argv[1], "rb").read()
samples = struct.unpack("<%dh" % (len(raw) // 2), raw[: len(raw) // 2 * 2])
window = 800  # 50 ms at 16 kHz
levels = []
for i in range(0, len(samples) - window + 1, window):
    chunk = samples[i : i + window]
    levels.append(math.sqrt(sum(s * s for s in chunk) / window) / 32768)
print("recorded %.1f s" % (len(samples) / 16000))
# Stretches of sound: windows above 0.005 RMS, gaps under 0.3 s joined.
runs, start, last = [], None, None
for i, level in enumerate(levels):
    if level > 0.005:
        if start is None or i - last > 6:
            if start is not None:
                runs.append((start, last))
            start = i
        last = i
if start is not None:
    runs.append((start, last))
for a, b in runs:
    peak = max(levels[a : b + 1])
    rms = math.sqrt(sum(l * l for l in levels[a : b + 1]) / (b - a + 1))
    print("sound %6.2f-%6.2f s (%.2f s)  rms %.3f  peak window %.3f" % (a * 0.05, (b + 1) * 0.05, (b - a + 1) * 0.05, rms, peak))
for event in sys.argv[2:]:
    name, at = event.rsplit("=", 1)
    print("event %6.2f s  %s" % (float(at), name))
PY
echo "program output:"; cat "$WORK/app.log" | head -20
