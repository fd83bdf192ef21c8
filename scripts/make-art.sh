#!/usr/bin/env bash
# Regenerates every committed art file from our own generators: the material textures and
# the warehouse model in data/Collada2, the credits image and the docs contact sheets.
# The output is byte-identical on every run; commit what changes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${HV_ART_BUILD:-$root/build/art}"
cmake -S "$root" -B "$build" -DHV_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j2 --target texturegen warehousegen creditsgen contactsheet

models="$root/data/Collada2"
mkdir -p "$models" "$root/docs"
"$build/texturegen" "$models"
"$build/warehousegen" "$models/warehouse_BR12.dae"
"$build/creditsgen" "$root/data/credits.png"
"$build/contactsheet" "$root/timeline/halvane.timeline" "$models" "$root/docs/timeline.png" "$root/docs/textures.png"
echo "art regenerated; check 'git status' for changes"
