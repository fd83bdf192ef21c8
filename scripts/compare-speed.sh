#!/usr/bin/env bash
# Speed of the working tree against an older commit, side by side on this machine.
#
#   bash scripts/compare-speed.sh [--base COMMIT] [--reps N] [--frames N] [--time T]
#                                 [--sizes "640x400 1280x720"] [--build DIR] [--own-timer]
#
# The older commit is exported (git archive) into its own directory under
# ${TMPDIR:-/tmp} and built there in its own build directory (through ccache when it is
# installed); the working tree is built in DIR (default build/). Then, for each of N
# repetitions, both frame renderers run `--bench` at every size and both tree
# benchmarks run, alternating which goes first, so load from other work on the machine
# falls on both alike. It prints every measurement, then per size the median of each
# side and the ratio current / base (median over the repetitions, with the lowest and
# highest ratio as the spread).
#
# Both trees are timed by the same code: the working tree's tools/frames/FrameTimer.*
# replace the older copy (which waited for the rasteriser after every pass) unless
# --own-timer is given. Exit status 2 for usage errors, 1 when a build or run fails.
set -euo pipefail

tool=compare-speed
usage_line='compare-speed.sh [--base COMMIT] [--reps N] [--frames N] [--time T] [--sizes "WxH ..."] [--build DIR] [--own-timer]'
reps=5
sizes="640x400 1280x720"
. "$(dirname "$0")/compare-common.sh"
frames=20
film_time=40
own_timer=0

while [ $# -gt 0 ]; do
  case "$1" in
    --frames) need_value "$@"; frames=$2; shift 2 ;;
    --time) need_value "$@"; film_time=$2; shift 2 ;;
    --own-timer) own_timer=1; shift ;;
    *) common_option "$@"; shift "$taken" ;;
  esac
done
check_common_options
[[ "$frames" =~ ^[1-9][0-9]*$ ]] || usage "bad frame count '$frames'"
base_commit
targets=(halvane-frames content tree_benchmark)

# The older tree: exported once per commit; the timer overlay is refreshed every run.
export_base
if [ "$own_timer" = 0 ] && [ -f "$work/src/tools/frames/FrameTimer.cpp" ]; then
  for file in FrameTimer.h FrameTimer.cpp; do
    cmp -s "$root/tools/frames/$file" "$work/src/tools/frames/$file" || cp "$root/tools/frames/$file" "$work/src/tools/frames/$file"
  done
  timing="both timed by the working tree's FrameTimer"
else
  git -C "$root" archive "$commit" tools/frames/FrameTimer.h tools/frames/FrameTimer.cpp | tar -x -C "$work/src"
  timing="each timed by its own FrameTimer"
fi
configure_and_build "$work/src" "$work/build" "$short"
configure_and_build "$root" "$build" "the working tree"

frame_ms() {  # build dir, size -> median frame and median CPU time per frame (all threads), in ms
  local out
  out=$("$1/halvane-frames" --dir "$1/run" --size "$2" --bench "$frames" --time "$film_time" 2> /dev/null) ||
    { echo "compare-speed: halvane-frames in $1 failed at $2" >&2; exit 1; }
  echo "$(sed -n 's/.*median frame \([0-9.]*\) ms.*/\1/p' <<< "$out" | head -1)" \
       "$(sed -n 's/^CPU time per frame.*median \([0-9.]*\) ms.*/\1/p' <<< "$out" | head -1)"
}

tree_us() {  # build dir -> one 60 Hz frame of the branches with the upload, in µs
  local out
  out=$("$1/tree_benchmark" --benchmark_filter='BM_TreeFrameWithUpload$' --benchmark_min_time=0.5 \
        --benchmark_format=csv 2> /dev/null) ||
    { echo "compare-speed: tree_benchmark in $1 failed" >&2; exit 1; }
  # name,iterations,real_time,cpu_time,time_unit,...
  awk -F, '/BM_TreeFrameWithUpload/ { print $3 }' <<< "$out" | head -1
}

results=$(mktemp)
trap 'rm -f "$results"' EXIT

echo "== $reps repetitions, $frames frames at ${film_time} s per run; $timing"
echo "== base $short ($work/build), current $(current_revision) ($build)"
for rep in $(seq 1 "$reps"); do
  order=$(run_order "$rep")
  for size in $sizes tree; do
    for side in $order; do
      if [ "$side" = base ]; then dir="$work/build"; else dir="$build"; fi
      if [ "$size" = tree ]; then
        value=$(tree_us "$dir")
        [ -n "$value" ] || { echo "compare-speed: no measurement from $side at $size" >&2; exit 1; }
        echo "$rep $size $side $value" >> "$results"
        printf 'rep %d  %-9s %-7s %8.1f us\n' "$rep" "$size" "$side" "$value"
      else
        read -r value cpu <<< "$(frame_ms "$dir" "$size")"
        [ -n "$value" ] || { echo "compare-speed: no measurement from $side at $size" >&2; exit 1; }
        echo "$rep $size $side $value" >> "$results"
        # Old timers print no CPU time; such runs have no CPU ratio.
        [ -n "$cpu" ] && echo "$rep cpu-$size $side $cpu" >> "$results"
        printf 'rep %d  %-9s %-7s %8.1f ms  (CPU, all threads %s ms)\n' "$rep" "$size" "$side" "$value" "${cpu:--}"
      fi
    done
  done
done

echo "== summary (current / base; median over repetitions, spread = lowest .. highest ratio)"
echo "   frames: wall-clock as a viewer gets them; cpu-WxH: CPU time of all threads per frame,"
echo "   which other work on the machine disturbs less"
cpu_sizes=""
for size in $sizes; do grep -q " cpu-$size " "$results" && cpu_sizes="$cpu_sizes cpu-$size"; done
for size in $sizes $cpu_sizes; do summarise "$results" "$size" ms "$size"; done
summarise "$results" tree us branches
