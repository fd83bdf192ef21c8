#!/usr/bin/env bash
# Sets everything up, builds, and plays the film from the prepared working directory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
cd build/run
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: running under xvfb-run."
  exec xvfb-run -a -s '-screen 0 1280x1024x24' ./halvane
fi
exec ./halvane
