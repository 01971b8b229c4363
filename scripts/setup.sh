#!/usr/bin/env bash
# Installs every Debian package the player, its tools and its tests need.
# Runs as root or through sudo; packages already present are skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libsdl2-dev libfltk1.3-dev
  libpng-dev zlib1g-dev libturbojpeg0-dev libjpeg62-turbo-dev
  libvorbis-dev libogg-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0 libegl1 libegl-mesa0
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libx11-dev libxres-dev xvfb xauth xdotool imagemagick unar
  fonts-dejavu-core fonts-dejavu-extra sox libsox-fmt-base
  ffmpeg evilwm
  libassimp-dev assimp-utils assimp-testmodels libstb-dev
  man-db desktop-file-utils debootstrap patchelf strace
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1; then
  SUDO="sudo"
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
