#!/usr/bin/env bash
# Installs what the Windows build and its tests need on Debian 12, beside
# scripts/setup.sh: the mingw-w64 cross compilers (POSIX threads), zlib for
# Windows, the header-only libraries Assimp is built against, googletest's
# sources, the tools to fetch and unpack Debian source packages, and Wine.
# Idempotent and non-interactive.
set -euo pipefail
cd "$(dirname "$0")/../.."
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev libutfcpp-dev libstb-dev libglm-dev googletest
  dpkg-dev xz-utils bzip2 patch zip wine64
)
# scripts/setup.sh installs what is missing of its own list and of these, in one go.
bash scripts/setup.sh "${packages[@]}"
