#!/usr/bin/env bash
# The menu entry and the software centre's description as their validators
# read them: desktop-file-validate and appstreamcli validate (without the
# network, so the screenshots' addresses are not fetched).
#
# Usage: validate_data.sh <data folder>
set -euo pipefail
DATA=${1:?usage: validate_data.sh <data folder>}
# A missing validator is named (scripts/setup.sh installs it), rather than
# reported as an invalid file.
for tool in desktop-file-validate:desktop-file-utils appstreamcli:appstream; do
  if ! command -v "${tool%%:*}" >/dev/null 2>&1; then
    echo "FAIL: ${tool%%:*} is not installed (package ${tool##*:}; scripts/setup.sh installs it)" >&2
    exit 1
  fi
done
desktop-file-validate "$DATA/org.velkorlt.VelkorLT.desktop"
appstreamcli validate --no-net "$DATA/org.velkorlt.VelkorLT.metainfo.xml"
# Both name the same program and icon.
grep -qx 'Exec=velkorlt' "$DATA/org.velkorlt.VelkorLT.desktop"
grep -qx 'Icon=velkorlt' "$DATA/org.velkorlt.VelkorLT.desktop"
grep -q '<binary>velkorlt</binary>' "$DATA/org.velkorlt.VelkorLT.metainfo.xml"
grep -q '<launchable type="desktop-id">org.velkorlt.VelkorLT.desktop</launchable>' \
  "$DATA/org.velkorlt.VelkorLT.metainfo.xml"
echo "desktop entry and metainfo: valid"
