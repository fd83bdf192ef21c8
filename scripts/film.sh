#!/usr/bin/env bash
# Sets everything up, builds, and plays the film from the prepared working directory.
# Only the program and the film's content are built (build/run); the tests and
# benchmarks wait for scripts/test.sh, which builds the rest into the same build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
HV_TARGETS="halvane content" bash scripts/build.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: playing the film on a virtual X server (the setup dialog is accepted as it opens)."
  exec bash scripts/play-headless.sh build/run 1280x720
fi
cd build/run
exec ./halvane
