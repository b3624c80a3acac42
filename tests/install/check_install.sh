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
expect_file share/velkorlt/chime.wav
expect_file share/velkorlt/guide/guide-ja.md
expect_file share/applications/org.velkorlt.VelkorLT.desktop
expect_file share/metainfo/org.velkorlt.VelkorLT.metainfo.xml
expect_file share/icons/hicolor/scalable/apps/velkorlt.svg
expect_file share/icons/hicolor/48x48/apps/velkorlt.png
expect_file share/icons/hicolor/256x256/apps/velkorlt.png
expect_file share/doc/velkorlt/README.md
expect_file share/doc/velkorlt/LICENSE
expect_file share/doc/velkorlt/copyright
expect_file share/man/man1/velkorlt.1
expect_file share/man/ja/man1/velkorlt.1
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
unexpected=$(cd "$PREFIX/usr" && find . -type f | grep -vE '^\./(bin/velkorlt|share/(velkorlt|applications|metainfo|icons|doc|man)/)' || true)
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"

# The installed program reports where it finds its files and keeps its
# documents (the per-user folder), without a display (no DISPLAY, and the X11
# platform asked for: a window could not start) and without creating
# anything; --help and --version answer the same way, and an unknown option
# is the usage and status 2.
HOME_DIR="$PREFIX/home"
mkdir -p "$HOME_DIR"
run_bare() {
  env -u DISPLAY -u WAYLAND_DISPLAY HOME="$HOME_DIR" XDG_CONFIG_HOME="$HOME_DIR/config" \
    XDG_DATA_HOME="$HOME_DIR/data" QT_QPA_PLATFORM=xcb "$PREFIX/usr/bin/velkorlt" "$@"
}
out=$(run_bare --where 2>&1) || fail "velkorlt --where failed: $out"
echo "$out" | grep -qx "lexicon: $PREFIX/usr/bin/../share/velkorlt/lexicon.txt" || fail "lexicon not found there: $out"
echo "$out" | grep -qx "guide: $PREFIX/usr/bin/../share/velkorlt/guide/guide-ja.md" || fail "guide not found there: $out"
echo "$out" | grep -qx "documents: $HOME_DIR/data/VelkorLT/Data/" || fail "documents not in the per-user folder: $out"
echo "$out" | grep -qx "anthy: $HOME_DIR/data/VelkorLT/anthy/" || fail "anthy's folder is not listed: $out"
made=$(find "$HOME_DIR" -mindepth 1)
[ -z "$made" ] || fail "--where created: $made"
[ ! -e "$PREFIX/usr/bin/Data" ] || fail "a data folder was made beside the installed program"
help=$(run_bare --help 2>&1) || fail "velkorlt --help failed: $help"
grep -q -- '--where' <<<"$help" || fail "--help does not name --where: $help"
[ "$(run_bare -h 2>&1)" = "$help" ] || fail "-h is not --help"
version=$(sed -n 's/^project(VelkorLT VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
[ "$(run_bare --version 2>&1)" = "velkorlt $version" ] || fail "--version does not say velkorlt $version"
status=0
unknown=$(run_bare --no-such-option 2>&1) || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, not 2"
grep -q -- '--no-such-option' <<<"$unknown" && grep -q -- '--where' <<<"$unknown" ||
  fail "an unknown option is not named with the usage: $unknown"
made=$(find "$HOME_DIR" -mindepth 1)
[ -z "$made" ] || fail "the options created: $made"
echo "installed into $PREFIX/usr: every file in its place"
