#!/usr/bin/env bash
# Regenerates data/music.mp3: builds musicgen, renders the piece to WAV (identical on
# every run) and encodes it with LAME at 192 kbit/s CBR. The LAME tag is kept so
# decoders trim the encoder delay and the beat grid stays on the film's clock.
# Usage: scripts/make-music.sh [BUILD_DIR]   (default build/music)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/music}
command -v lame > /dev/null || { echo "make-music: lame is not installed (scripts/setup.sh)" >&2; exit 1; }
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$build.configure.log" 2>&1 ||
    { cat "$build.configure.log" >&2; exit 1; }
fi
cmake --build "$build" --target musicgen -j2
wav=$(mktemp --suffix=.wav)
trap 'rm -f "$wav"' EXIT
"$build/musicgen" "$wav"
mkdir -p data
lame --quiet -b 192 --cbr "$wav" data/music.mp3.tmp
mv data/music.mp3.tmp data/music.mp3
echo "make-music: wrote data/music.mp3 ($(stat -c %s data/music.mp3) bytes)"
