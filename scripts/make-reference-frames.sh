#!/usr/bin/env bash
# Renders the reference frames the film tests compare against (tests/data/frames).
# Run after a deliberate change of the look, the content or the timeline; commit the result.
# Usage: scripts/make-reference-frames.sh [BUILD_DIR]   (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" -j"$(nproc)" --target halvane-frames content
rm -f tests/data/frames/frame_*.png
"$build/halvane-frames" --dir "$build/run" --size 320x200 --time 20 --time 62 --time 118 --time 165 \
  --out tests/data/frames
