#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it file by file:
# the program, its lexicon, the guide and every picture the guide names, the
# menu entry, the icons and the metainfo. Then starts the installed program
# (offscreen) and checks that it found its lexicon and guide there and kept
# its documents in the per-user folder, not beside the program.
#
# Usage: check_install.sh <build folder>
set -euo pipefail
BUILD=${1:?usage: check_install.sh <build folder>}
PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/velkor-install.XXXXXX")
trap 'rm -rf "$PREFIX"' EXIT
cmake --install "$BUILD" --prefix "$PREFIX/usr" >/dev/null

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
expect_file() {
  [ -f "$PREFIX/usr/$1" ] || fail "missing: usr/$1"
}
# A tool this check calls is named when it is missing (scripts/setup.sh
# installs it), rather than blaming what the tool would have checked.
require_tool() {
  command -v "$1" >/dev/null 2>&1 || fail "$1 is not installed (package $2; scripts/setup.sh installs it)"
}
# The size of a picture as ImageMagick reads it: "48x48".
image_size() {
  identify -format '%wx%h' "$1" 2>/dev/null || echo "unreadable"
}
require_tool identify imagemagick

[ -x "$PREFIX/usr/bin/velkorlt" ] || fail "usr/bin/velkorlt is missing or not executable"
expect_file share/velkorlt/lexicon.txt
expect_file share/velkorlt/guide/guide-ja.md
expect_file share/applications/org.velkorlt.VelkorLT.desktop
expect_file share/metainfo/org.velkorlt.VelkorLT.metainfo.xml
expect_file share/icons/hicolor/scalable/apps/velkorlt.svg
expect_file share/icons/hicolor/48x48/apps/velkorlt.png
expect_file share/icons/hicolor/256x256/apps/velkorlt.png
expect_file share/doc/velkorlt/README.md
expect_file share/doc/velkorlt/LICENSE
for size in 48 256; do
  icon="$PREFIX/usr/share/icons/hicolor/${size}x${size}/apps/velkorlt.png"
  actual=$(image_size "$icon")
  [ "$actual" = "${size}x${size}" ] || fail "the $size px icon is $actual, not ${size}x${size}"
done
# Every picture the guide names is installed beside it.
grep -o '](images/[^)]*)' "$PREFIX/usr/share/velkorlt/guide/guide-ja.md" | sed 's/^](//; s/)$//' | sort -u |
  while read -r image; do
    expect_file "share/velkorlt/guide/$image"
  done
# Nothing else than these folders.
unexpected=$(cd "$PREFIX/usr" && find . -type f | grep -vE '^\./(bin/velkorlt|share/(velkorlt|applications|metainfo|icons|doc)/)' || true)
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"

# The installed program reports where it found its files, and writes its
# documents to the per-user folder.
HOME_DIR="$PREFIX/home"
mkdir -p "$HOME_DIR"
out=$(HOME="$HOME_DIR" XDG_CONFIG_HOME="$HOME_DIR/config" XDG_DATA_HOME="$HOME_DIR/data" QT_QPA_PLATFORM=offscreen \
  "$PREFIX/usr/bin/velkorlt" --where 2>&1) || fail "the installed program did not start: $out"
echo "$out" | grep -qx "lexicon: $PREFIX/usr/bin/../share/velkorlt/lexicon.txt" || fail "lexicon not found there: $out"
echo "$out" | grep -qx "guide: $PREFIX/usr/bin/../share/velkorlt/guide/guide-ja.md" || fail "guide not found there: $out"
echo "$out" | grep -qx "documents: $HOME_DIR/data/VelkorLT/Data/" || fail "documents not in the per-user folder: $out"
[ ! -e "$PREFIX/usr/bin/Data" ] || fail "a data folder was made beside the installed program"
echo "installed into $PREFIX/usr: every file in its place"
