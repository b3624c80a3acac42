#!/usr/bin/env bash
# Draws the guide's picture of writing with a webcam head pointer and dwell:
# a laptop whose camera follows the head, beside a screenshot of the program
# with a dwell count running (take_access_screenshots.sh's dwell-count.png).
# A drawing, not a screenshot of the head pointer itself: no camera is
# needed to make it. Not a test.
#
# Usage: draw_webcam_picture.sh <dwell-count.png> <output.png>
set -euo pipefail
SHOT=${1:?usage: draw_webcam_picture.sh <dwell-count.png> <output.png>}
OUT=${2:?usage: draw_webcam_picture.sh <dwell-count.png> <output.png>}
FONT=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
[ -f "$FONT" ] || { echo "the font $FONT is not installed (fonts-ipafont-gothic)" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# The person and the laptop: a head turning a little, the camera's field of
# view reaching it, the pointer on the screen moving with it.
convert -size 420x520 xc:white -font "$FONT" \
  -fill '#f3d7b6' -stroke '#7a5230' -strokewidth 3 -draw 'circle 210,120 210,50' \
  -fill '#333333' -stroke none -draw 'circle 185,110 185,102' -draw 'circle 235,110 235,102' \
  -fill none -stroke '#333333' -strokewidth 3 -draw 'arc 185,130 235,160 20,160' \
  -fill '#f3d7b6' -stroke '#7a5230' -strokewidth 3 -draw 'path "M 130,260 Q 210,200 290,260 L 300,300 L 120,300 Z"' \
  -fill 'rgba(255,200,0,0.25)' -stroke '#e0a000' -strokewidth 2 -draw 'polygon 210,338 120,160 300,160' \
  -fill '#d9d9d9' -stroke '#555555' -strokewidth 4 -draw 'roundrectangle 70,330 350,480 10,10' \
  -fill '#1f4e96' -stroke none -draw 'rectangle 88,348 332,462' \
  -fill '#222222' -draw 'circle 210,339 210,334' \
  -fill '#bbbbbb' -stroke '#555555' -strokewidth 4 -draw 'polygon 40,480 380,480 400,505 20,505' \
  -fill white -stroke none -pointsize 22 -annotate +108+395 'ウェブカメラが' -annotate +108+430 '頭の動きを追う' \
  "$WORK/person.png"

# The program, its dwell count half-way, and what the two do together.
convert "$SHOT" -resize 640x "$WORK/shot.png"
convert -size 1120x640 xc:white -font "$FONT" \
  "$WORK/person.png" -geometry +10+40 -composite \
  "$WORK/shot.png" -geometry +460+70 -composite \
  -fill none -stroke '#e05000' -strokewidth 6 -draw 'line 360,300 450,300' \
  -fill '#e05000' -stroke none -draw 'polygon 450,285 475,300 450,315' \
  -fill black -stroke none -pointsize 30 -annotate +20+32 'eviacam：頭を動かすと'  -annotate +20+70 'ポインタが動く' \
  -annotate +460+32 'VelkorLT：ポインタを止めるとセルが選ばれる' \
  -pointsize 26 -annotate +20+615 'eviacam のクリックは切り、選ぶのは VelkorLT の注視に任せます' \
  "$OUT"
echo "$OUT"
