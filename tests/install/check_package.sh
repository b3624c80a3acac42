#!/usr/bin/env bash
# The Debian package made from this build as scripts/package makes it, read
# by lintian: no error and no warning. Then its contents: the manual pages,
# the copyright file, the changelog and the md5sums, and a maintainer that is
# the one named in data/changelog. Reported as skipped (exit code 77) where
# lintian is not installed; scripts/setup.sh installs it.
#
# Usage: check_package.sh <build folder>
set -euo pipefail
BUILD=${1:?usage: check_package.sh <build folder>}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
if ! command -v lintian >/dev/null 2>&1; then
  echo "SKIP: lintian is not installed (scripts/setup.sh installs it)"
  exit 77
fi
for tool in dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev dpkg-parsechangelog:dpkg-dev; do
  command -v "${tool%%:*}" >/dev/null 2>&1 ||
    fail "${tool%%:*} is not installed (package ${tool##*:}; scripts/setup.sh installs it)"
done

OUT=$(mktemp -d "${TMPDIR:-/tmp}/velkor-deb.XXXXXX")
trap 'rm -rf "$OUT"' EXIT
source "$ROOT/scripts/deb.sh"
DEB=$(velkor_make_deb "$BUILD" "$OUT") || fail "the package could not be made"

report=$(lintian --fail-on error,warning --allow-root "$DEB" 2>&1) || fail "lintian: $report"
echo "lintian: ${report:-no tags}"

contents=$(dpkg-deb -c "$DEB" | awk '{ print $NF }')
for path in ./usr/bin/velkorlt ./usr/share/man/man1/velkorlt.1.gz ./usr/share/man/ja/man1/velkorlt.1.gz \
  ./usr/share/doc/velkorlt/copyright ./usr/share/doc/velkorlt/changelog.gz; do
  grep -qx "$path" <<<"$contents" || fail "the package has no $path"
done
dpkg-deb -I "$DEB" md5sums >/dev/null 2>&1 || fail "the package has no md5sums"
maintainer=$(dpkg-deb -f "$DEB" Maintainer)
[ "$maintainer" = "$(dpkg-parsechangelog -l "$ROOT/data/changelog" -S Maintainer)" ] ||
  fail "the maintainer is '$maintainer', not the one of data/changelog"
[[ "$maintainer" != *@localhost* ]] || fail "the maintainer is '$maintainer'"
# A user without a head mouse is pointed to the webcam head pointer.
[ "$(dpkg-deb -f "$DEB" Suggests)" = eviacam ] || fail "the package does not suggest eviacam"
echo "the package passes lintian: $(basename "$DEB")"
