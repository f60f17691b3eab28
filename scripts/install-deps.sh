#!/usr/bin/env bash
# Installs everything the saver needs to build, run and be tested, with apt-get.
# Does nothing when every package is already there.
set -euo pipefail

packages=(
  # toolchain
  cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # Qt 6 with the xcb and offscreen platforms
  qt6-base-dev qt6-qpa-plugins libqt6svg6 libxcb1-dev libxcb-shm0-dev libx11-dev
  # sound: GStreamer and its plugins, a small General MIDI soundfont, ALSA
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  gstreamer1.0-plugins-bad gstreamer1.0-libav gstreamer1.0-alsa gstreamer1.0-pulseaudio
  timgm6mb-soundfont libasound2-dev
  # pictures and text
  libjpeg62-turbo-dev fonts-ipafont-gothic fonts-liberation fonts-comic-neue fontconfig
  # looking at the running saver
  xvfb xdotool x11-utils imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
