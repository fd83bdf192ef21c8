#!/usr/bin/env bash
# Installs what the Windows build and its tests need on Debian 12, beside
# scripts/setup.sh: the mingw-w64 cross compilers (POSIX threads), zlib for
# Windows, the header-only libraries Assimp is built against, googletest's
# sources, the tools to fetch and unpack Debian source packages, and Wine.
# Idempotent and non-interactive.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/setup.sh
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev libutfcpp-dev libstb-dev libglm-dev googletest
  dpkg-dev xz-utils bzip2 patch zip wine64
)
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
