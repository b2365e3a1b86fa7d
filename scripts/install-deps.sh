#!/usr/bin/env bash
# Installs every Debian package Kinoloop needs to build, run and test. Safe to run again: packages already
# present are left as they are, and apt is skipped entirely when nothing is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-qpa-plugins libqscintilla2-qt6-dev libgl-dev
  zlib1g-dev libjsoncpp-dev
  libsdl2-dev libsdl2-mixer-dev libopenmpt-dev libsndfile1-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg
  libpulse-dev pulseaudio pulseaudio-utils
  libx11-dev libxext-dev libxcb1-dev libxcb-shm0-dev libx11-xcb-dev
  xvfb xdotool x11-utils xauth
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  python3 sox libsox-fmt-all
  fpc lua5.4
  libclang-rt-14-dev clang
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
