#!/usr/bin/env bash
# Captures the whole film small and at one frame per second with halvane-capture, and
# tiles eight of its frames (10 s, 32 s, ... 164 s) into docs/capture-strip.png.
# Needs a build (default build/) and ffmpeg for picking and tiling the frames.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/halvane-capture" --dir "$build/run" --size 320x180 --fps 1 --out "$tmp/film.mp4" > /dev/null
ffmpeg -v error -y -i "$tmp/film.mp4" \
  -vf "select='not(mod(n+12\,22))',tile=4x2:padding=4:margin=4:color=white" -frames:v 1 docs/capture-strip.png
echo docs/capture-strip.png
