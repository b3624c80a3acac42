# Shared by scripts/run and scripts/test: installs the system packages the
# program needs when any is missing, then configures and builds in build/.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR="$ROOT/build"

# Build tools, Qt 6 Widgets and Print Support, GoogleTest, a Japanese font
# (without one every kana is drawn as a box), anthy for kana-to-kanji
# conversion (loaded at run time; the header only documents its interface),
# and Xvfb for running the window without a screen.
VELKOR_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgtest-dev
  fonts-ipafont-gothic
  libanthy1 anthy-common libanthy-dev
  qt6-multimedia-dev open-jtalk open-jtalk-mecab-naist-jdic hts-voice-nitech-jp-atr503-m001
  xvfb xauth xdotool poppler-utils imagemagick
)

# The Japanese voice of the speech engine is in Debian's contrib section.
velkor_enable_contrib() {
  if grep -rqsE '^[^#]*(Components:.*|deb .*)\bcontrib\b' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Enabling Debian's contrib section for the Japanese voice"
  printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' 'Components: contrib' \
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
