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
  xvfb xauth xdotool poppler-utils imagemagick
)

velkor_install_missing() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
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
