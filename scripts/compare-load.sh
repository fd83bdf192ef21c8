#!/usr/bin/env bash
# Load to first frame of the working tree against an older commit, side by side on this machine.
#
#   bash scripts/compare-load.sh [--base COMMIT] [--reps N] [--sizes "1280x720 640x400"] [--build DIR]
#
# One measurement is one fresh `halvane-frames --size WxH --time 0 --out DIR` process, each
# tree in its own run directory: from just before the process starts until the first frame's
# PNG file is created, which happens right after GL has drawn that frame and handed its
# pixels back. Process start, the GL context, all loading and the first frame (with the
# shader variants it compiles) are inside; the PNG's encoding is not. The same clock for
# both trees, whatever their own reports say. For each of N repetitions the two trees run
# alternately at every size (the first to run swaps each time), so load from other work on
# the machine falls on both alike; it prints every measurement, then per size the median of
# each side and the ratio current / base (median over the repetitions, lowest .. highest).
#
# The older tree is the one scripts/compare-speed.sh exports and builds under
# ${TMPDIR:-/tmp}/halvane-speed-<commit>; an existing build there is used as it is.
# Exit status 2 for usage errors, 1 when a build or run fails.
set -euo pipefail

tool=compare-load
usage_line='compare-load.sh [--base COMMIT] [--reps N] [--sizes "WxH ..."] [--build DIR]'
reps=7
sizes="1280x720"
. "$(dirname "$0")/compare-common.sh"

while [ $# -gt 0 ]; do
  common_option "$@"
  shift "$taken"
done
check_common_options
base_commit
targets=(halvane-frames content)

if [ ! -x "$work/build/halvane-frames" ] || [ ! -d "$work/build/run" ]; then
  export_base
  configure_and_build "$work/src" "$work/build" "$short"
fi
configure_and_build "$root" "$build" "the working tree"

out=$(mktemp -d)
results=$(mktemp)
trap 'rm -rf "$out" "$results"' EXIT

load_ms() {  # build dir, size -> ms from the process's start to its first frame's file
  local frame="$out/frame_0000.000.png" start created
  rm -f "$frame"
  start=$(date +%s.%N)
  "$1/halvane-frames" --dir "$1/run" --size "$2" --time 0 --out "$out" > /dev/null 2>&1 ||
    { echo "compare-load: halvane-frames in $1 failed at $2" >&2; exit 1; }
  # The creation time when the file system keeps one, else the last write.
  created=$(stat -c %.9W "$frame")
  case "$created" in 0*|-*) created=$(stat -c %.9Y "$frame") ;; esac
  awk -v a="$start" -v b="$created" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'
}

echo "== $reps repetitions; base $short ($work/build), current $(current_revision) ($build)"
for rep in $(seq 1 "$reps"); do
  order=$(run_order "$rep")
  for size in $sizes; do
    for side in $order; do
      if [ "$side" = base ]; then dir="$work/build"; else dir="$build"; fi
      value=$(load_ms "$dir" "$size")
      echo "$rep $size $side $value" >> "$results"
      printf 'rep %d  %-9s %-7s %8.1f ms\n' "$rep" "$size" "$side" "$value"
    done
  done
done

echo "== summary: load to first frame, current / base (median over repetitions, spread = lowest .. highest ratio)"
for size in $sizes; do summarise "$results" "$size" ms "$size"; done
