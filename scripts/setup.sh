# Shared by scripts/run and scripts/test: installs the system packages the
# program needs when any is missing, then configures and builds in build/.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR="$ROOT/build"

# What the program needs to be built and to run: build tools, Qt 6 Widgets,
# Print Support and Multimedia, Qt's Japanese translations, a Japanese font
# (without one every kana is drawn as a box), anthy for kana-to-kanji
# conversion (loaded at run time; the header only documents its interface),
# the IPADIC sources the prediction lexicon is made from (mecab-ipadic), the
# word trigram model the phrase model is made from (libkkc-data, read through
# its MARISA index: libmarisa-dev), and Open JTalk with its dictionary and its Japanese voice for reading aloud.
VELKOR_RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n qt6-multimedia-dev
  fonts-ipafont-gothic
  libanthy1 anthy-common libanthy-dev mecab-ipadic libkkc-data libmarisa-dev
  open-jtalk open-jtalk-mecab-naist-jdic hts-voice-nitech-jp-atr503-m001
)
# What the tests call besides: GoogleTest; Xvfb, xauth and xdotool for the
# window under a private display; pdfinfo and pdftotext (poppler-utils) for
# printed pages; ImageMagick's identify for the icons' sizes; the validators
# of the menu entry and the metainfo; dpkg-dev and lintian for the package;
# PulseAudio and its parec for a sound server with a null output whose
# monitor the playback tests record.
VELKOR_TEST_PACKAGES=(
  libgtest-dev
  xvfb xauth xdotool poppler-utils imagemagick
  pulseaudio pulseaudio-utils
  desktop-file-utils appstream
  dpkg-dev lintian
)
VELKOR_PACKAGES=("${VELKOR_RUN_PACKAGES[@]}" "${VELKOR_TEST_PACKAGES[@]}")

# Runs a command as root: directly when this is root, else through sudo.
velkor_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "Installing packages needs root: run this as root, or install sudo" >&2
    return 1
  fi
}

# apt-get that waits up to ten minutes for another package manager holding
# the dpkg lock instead of failing at once. "update" takes the package lists'
# lock, which that setting does not cover: it is tried again while the lock
# is held.
velkor_apt_get() {
  local attempt output
  if [ "$1" != update ]; then
    velkor_as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -q "$@"
    return
  fi
  for attempt in $(seq 1 60); do
    if output=$(velkor_as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -q "$@" 2>&1); then
      echo "$output"
      return 0
    fi
    if ! grep -q 'Could not get lock' <<<"$output"; then
      echo "$output" >&2
      return 1
    fi
    [ "$attempt" -eq 1 ] && echo "Another program holds the package lists' lock; waiting" >&2
    sleep 10
  done
  echo "$output" >&2
  return 1
}

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

# False when no Debian source was found to add contrib to.
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
    return 1
  fi
  echo "Enabling Debian's contrib section for the Japanese voice"
  printf '%s\n' 'Types: deb' "URIs: $uri" "Suites: $suite" 'Components: contrib' \
    'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
    velkor_as_root tee /etc/apt/sources.list.d/velkorlt-contrib.sources >/dev/null
}

velkor_install_missing() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! velkor_enable_contrib; then
    # Without contrib the voice cannot be had; everything else still can.
    local rest=()
    for pkg in "${missing[@]}"; do
      [ "$pkg" = hts-voice-nitech-jp-atr503-m001 ] || rest+=("$pkg")
    done
    missing=("${rest[@]}")
    [ ${#missing[@]} -eq 0 ] && return 0
  fi
  echo "Installing: ${missing[*]}"
  velkor_apt_get update
  velkor_apt_get install -y "${missing[@]}"
}

# velkor_build [extra cmake arguments...]
velkor_build() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja "$@" >/dev/null &&
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}
