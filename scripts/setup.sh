# Shared by scripts/run and scripts/test: installs the system packages the
# program needs when any is missing, then configures and builds in build/.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR="$ROOT/build"

# Build tools, Qt 6 Widgets and Print Support, GoogleTest, a Japanese font
# (without one every kana is drawn as a box), anthy for kana-to-kanji
# conversion (loaded at run time; the header only documents its interface),
# the IPADIC sources the prediction lexicon is made from (mecab-ipadic), and
# Xvfb for running the window without a screen, and the validators of the
# menu entry and the metainfo.
VELKOR_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n libgtest-dev
  fonts-ipafont-gothic
  libanthy1 anthy-common libanthy-dev mecab-ipadic
  qt6-multimedia-dev open-jtalk open-jtalk-mecab-naist-jdic hts-voice-nitech-jp-atr503-m001
  xvfb xauth xdotool poppler-utils imagemagick
  desktop-file-utils appstream
)

# The Japanese voice of the speech engine is in Debian's contrib section. The
# new source names the same archive and suite as the machine's own main
# section, read from its sources, so no host name is written here.
velkor_debian_source() {
  local file uri suite
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    uri=$(awk '/^URIs:/ { print $2; exit }' "$file")
    suite=$(awk '/^Suites:/ { print $2; exit }' "$file")
    if [ -n "$uri" ] && [ -n "$suite" ]; then
      echo "$uri $suite"
      return 0
    fi
  done
  if [ -f /etc/apt/sources.list ]; then
    awk '$1 == "deb" && $2 !~ /^\[/ { print $2, $3; exit } $1 == "deb" && $2 ~ /^\[/ { print $3, $4; exit }' \
      /etc/apt/sources.list
  fi
}

velkor_enable_contrib() {
  if grep -rqsE '^[^#]*(Components:.*|deb .*)\bcontrib\b' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  local source uri suite
  source=$(velkor_debian_source)
  uri=${source%% *}
  suite=${source##* }
  if [ -z "$source" ] || [ -z "$uri" ] || [ -z "$suite" ]; then
    echo "No Debian source found to add the contrib section to; the Japanese voice is left out" >&2
    return 0
  fi
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Enabling Debian's contrib section for the Japanese voice"
  printf '%s\n' 'Types: deb' "URIs: $uri" "Suites: $suite" 'Components: contrib' \
    'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
    "${sudo[@]}" tee /etc/apt/sources.list.d/velkorlt-contrib.sources >/dev/null
}

velkor_install_missing() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  velkor_enable_contrib
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

# velkor_build [extra cmake arguments...]
velkor_build() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja "$@" >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}
