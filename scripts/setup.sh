#!/usr/bin/env bash
# Installs what building, running and testing Halvane need on Debian 12, and any
# packages named as arguments.
# Idempotent and non-interactive; installs nothing that is already there.
set -euo pipefail
packages=(
  build-essential cmake pkg-config git
  libsdl2-dev libgtk-3-dev libmpg123-dev libglew-dev libglm-dev libassimp-dev
  libpng-dev zlib1g-dev libegl-dev libgl-dev libgl1-mesa-dri libegl1 libfreetype-dev fonts-dejavu-core
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev ffmpeg
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils xfonts-base imagemagick lame sox
  libxrandr-dev xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils bc
  parallel openssh-server openssh-client slurm-wlm munge
)
# Extra packages for one task (for example the fuzz targets' clang) come as arguments.
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
