# Makes the Debian package from a build folder: shared by scripts/package
# (a Release build) and tests/install/check_package.sh (the test build).
# Sourced, not run; needs dpkg-dev.
#
# velkor_make_deb <build folder> <output folder> prints the package's path.
# The build is installed under /usr (the program, its prediction lexicon, the
# guide, the menu entry, the icons, the metainfo, the manual page, the
# copyright file), and the package gets what Debian's tools would give it:
# the manual pages and the changelog compressed, the program stripped,
# md5sums, and a control file naming every package it needs at run time.
#
# The libraries it links are read from the program itself (the packages that
# own them); the rest it needs without linking them is listed here: the
# conversion engine's dictionary, the speech engine and its dictionary, a
# Japanese font, Qt's Japanese translations and its X11 platform plugin. The
# Japanese voice is in Debian's contrib section: recommended, not required;
# without it 話~ names the voice's package and everything else works.
#
# The version and the maintainer come from data/changelog alone; its newest
# entry must be the version CMakeLists.txt builds.

VELKOR_DEB_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

velkor_make_deb() (
  set -euo pipefail
  local build=$1 out=$2
  local changelog="$VELKOR_DEB_ROOT/data/changelog"
  local version maintainer built arch homepage
  version=$(dpkg-parsechangelog -l "$changelog" -S Version)
  maintainer=$(dpkg-parsechangelog -l "$changelog" -S Maintainer)
  built=$(sed -n 's/^project(VelkorLT VERSION \([0-9.]*\).*/\1/p' "$VELKOR_DEB_ROOT/CMakeLists.txt")
  if [ "$version" != "$built" ]; then
    echo "data/changelog's newest entry is $version, but CMakeLists.txt builds $built: add an entry" >&2
    return 1
  fi
  arch=$(dpkg --print-architecture)
  homepage=$(sed -n 's|.*<url type="homepage">\(.*\)</url>.*|\1|p' "$VELKOR_DEB_ROOT/data/org.velkorlt.VelkorLT.metainfo.xml")

  local stage
  stage=$(mktemp -d "${TMPDIR:-/tmp}/velkor-package.XXXXXX")
  trap 'rm -rf "$stage"' EXIT
  local root="$stage/root"
  DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/velkorlt"
  find "$root/usr/share/man" -type f -name '*.1' -exec gzip -9n {} +
  gzip -9n -c "$changelog" >"$root/usr/share/doc/velkorlt/changelog.gz"
  # The full licence text is the system's own (named in the copyright file).
  rm -f "$root/usr/share/doc/velkorlt/LICENSE"
  find "$root" -type d -exec chmod 0755 {} +
  find "$root" -type f -exec chmod 0644 {} +
  chmod 0755 "$root/usr/bin/velkorlt"

  # The linked libraries' packages, as dpkg-shlibdeps finds them.
  mkdir -p "$stage/debian"
  printf 'Source: velkorlt\n\nPackage: velkorlt\nArchitecture: any\n' >"$stage/debian/control"
  local linked
  linked=$(cd "$stage" && dpkg-shlibdeps -O -e"root/usr/bin/velkorlt" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
  [ -n "$linked" ] || { echo "dpkg-shlibdeps found no libraries" >&2; return 1; }
  local runtime="libanthy1, anthy-common, open-jtalk, open-jtalk-mecab-naist-jdic, fonts-ipafont-gothic, \
qt6-translations-l10n, qt6-qpa-plugins"

  mkdir -p "$root/DEBIAN"
  (cd "$root" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
  chmod 0644 "$root/DEBIAN/md5sums"
  cat >"$root/DEBIAN/control" <<CONTROL
Package: velkorlt
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $(du -sk --apparent-size "$root/usr" | cut -f1)
Depends: $linked, $runtime
Recommends: hts-voice-nitech-jp-atr503-m001
Suggests: eviacam
Section: editors
Priority: optional
Homepage: $homepage
Description: Japanese text editor for pointer, arrow-key and switch users
 VelkorLT writes Japanese with a pointing device alone (click or dwell),
 with the arrow keys and one other key, or with a single switch (row and
 column scanning). Beside the edit area it shows a character board of kana,
 Latin letters, signs, stock phrases and commands; kanji come from a
 conversion cell, frequent words from a prediction row, speech from a speech
 cell. Documents live in 100 numbered slots.
 .
 The Japanese voice (hts-voice-nitech-jp-atr503-m001, in Debian's contrib
 section) is recommended: without it reading aloud is not available.
 Without a head mouse, eviacam moves the pointer by the head through a
 webcam; with dwell, that is enough to write.
CONTROL

  local deb="$out/velkorlt_${version}_${arch}.deb"
  dpkg-deb --root-owner-group --build "$root" "$deb" >/dev/null
  echo "$deb"
)
