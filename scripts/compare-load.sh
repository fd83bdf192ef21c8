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

root=$(cd "$(dirname "$0")/.." && pwd)
base=87d69a5
reps=7
sizes="1280x720"
build="$root/build"

usage() {
  echo "compare-load: $1" >&2
  echo "usage: compare-load.sh [--base COMMIT] [--reps N] [--sizes \"WxH ...\"] [--build DIR]" >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case "$1" in
    --base) [ $# -ge 2 ] || usage "missing value after $1"; base=$2; shift 2 ;;
    --reps) [ $# -ge 2 ] || usage "missing value after $1"; reps=$2; shift 2 ;;
    --sizes) [ $# -ge 2 ] || usage "missing value after $1"; sizes=$2; shift 2 ;;
    --build) [ $# -ge 2 ] || usage "missing value after $1"; build=$(realpath -m "$2"); shift 2 ;;
    *) usage "unknown option $1" ;;
  esac
done
[[ "$reps" =~ ^[1-9][0-9]*$ ]] || usage "bad repetition count '$reps'"
for size in $sizes; do [[ "$size" =~ ^[0-9]+x[0-9]+$ ]] || usage "bad size '$size'"; done

commit=$(git -C "$root" rev-parse --verify --quiet "$base^{commit}") || usage "no commit '$base'"
short=${commit:0:10}
work="${TMPDIR:-/tmp}/halvane-speed-$short"
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

configure_and_build() {  # source dir, build dir, label
  local log="$2/compare-load.log"
  mkdir -p "$2"
  echo "== building $3 in $2" >&2
  if [ ! -f "$2/CMakeCache.txt" ]; then
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" > "$log" 2>&1 ||
      { tail -20 "$log" >&2; echo "compare-load: configuring $3 failed (see $log)" >&2; exit 1; }
  fi
  cmake --build "$2" --target halvane-frames content -j"$(nproc)" >> "$log" 2>&1 ||
    { tail -20 "$log" >&2; echo "compare-load: building $3 failed (see $log)" >&2; exit 1; }
}

if [ ! -x "$work/build/halvane-frames" ] || [ ! -d "$work/build/run" ]; then
  if [ ! -f "$work/src.stamp" ]; then
    rm -rf "$work/src"
    mkdir -p "$work/src"
    git -C "$root" archive "$commit" | tar -x -C "$work/src"
    touch "$work/src.stamp"
  fi
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

echo "== $reps repetitions; base $short ($work/build), current $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD -- source shaders tools || echo '+changes') ($build)"
for rep in $(seq 1 "$reps"); do
  if [ $((rep % 2)) = 1 ]; then order="base current"; else order="current base"; fi
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
for size in $sizes; do
  awk -v size="$size" '
    function median(a, n,   i, j, t) {
      for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    $2 == size { v[$1, $3] = $4; reps[$1] = 1 }
    END {
      n = 0
      for (r in reps) { ++n; b[n] = v[r, "base"]; c[n] = v[r, "current"]; q[n] = v[r, "current"] / v[r, "base"] }
      if (n == 0) exit
      lo = q[1]; hi = q[1]
      for (i = 1; i <= n; ++i) { if (q[i] < lo) lo = q[i]; if (q[i] > hi) hi = q[i] }
      printf "%-9s base %8.1f ms  current %8.1f ms  ratio %.3f  (%.3f .. %.3f, %d reps)\n",
             size, median(b, n), median(c, n), median(q, n), lo, hi, n
    }' "$results"
done
