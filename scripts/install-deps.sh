#!/usr/bin/env bash
# Installs the Debian packages Optascope needs to build, test and run, when
# any is missing. Safe to run again: it does nothing once all are there.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config clang-format
  libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
  libpng-dev libtiff-dev libjpeg62-turbo-dev snakemake
  python3 python3-numpy python3-opencv python3-pil python3-scipy python3-skimage
  xvfb xauth
  openbox xdotool x11-utils xclip imagemagick desktop-file-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
