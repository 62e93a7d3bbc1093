#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# As root it installs what is missing; otherwise it prints the one command to run.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config make
  qt6-base-dev fonts-dejavu-core
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libavfilter-dev libavdevice-dev
  libjpeg62-turbo-dev
  libpng-dev
  libgtest-dev libbenchmark-dev
  ffmpeg dvdauthor vcdimager genisoimage lsdvd
  xvfb xauth
  dpkg-dev file desktop-file-utils appstream
  time ccache
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
