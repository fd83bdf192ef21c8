# Sourced by the side-by-side comparisons (compare-speed.sh, compare-load.sh): their
# common options, the older commit exported and built beside the working tree, and
# the summary of ratios.
#
# The sourcing script sets before sourcing: `tool` (its name in messages),
# `usage_line`, and the defaults `reps` and `sizes`; later `targets` (an array of
# what to build). common_option takes --base, --reps, --sizes and --build and
# ends with status 2 on anything else; check_common_options checks their values.
# After base_commit: `commit`, `short` and `work`, the older tree's directory
# ${TMPDIR:-/tmp}/halvane-speed-<commit> with src/ and build/ in it.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
base=87d69a5
build="$root/build"

usage() {
  echo "$tool: $1" >&2
  echo "usage: $usage_line" >&2
  exit 2
}

# Fails as a usage error when option $1 has no value after it.
need_value() {
  [ $# -ge 2 ] || usage "missing value after $1"
}

# One of the common options from the arguments; `taken` is how many words it used.
common_option() {
  case "$1" in
    --base) need_value "$@"; base=$2 ;;
    --reps) need_value "$@"; reps=$2 ;;
    --sizes) need_value "$@"; sizes=$2 ;;
    --build) need_value "$@"; build=$(realpath -m "$2") ;;
    *) usage "unknown option $1" ;;
  esac
  taken=2
}

check_common_options() {
  [[ "$reps" =~ ^[1-9][0-9]*$ ]] || usage "bad repetition count '$reps'"
  local size
  for size in $sizes; do [[ "$size" =~ ^[0-9]+x[0-9]+$ ]] || usage "bad size '$size'"; done
}

base_commit() {
  commit=$(git -C "$root" rev-parse --verify --quiet "$base^{commit}") || usage "no commit '$base'"
  short=${commit:0:10}
  work="${TMPDIR:-/tmp}/halvane-speed-$short"
}

# The older tree's sources, exported once per commit.
export_base() {
  mkdir -p "$work"
  if [ ! -f "$work/src.stamp" ]; then
    rm -rf "$work/src"
    mkdir -p "$work/src"
    git -C "$root" archive "$commit" | tar -x -C "$work/src"
    touch "$work/src.stamp"
  fi
}

configure_and_build() {  # source dir, build dir, label
  local log="$2/$tool.log" launcher=()
  if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  mkdir -p "$2"
  echo "== building $3 in $2" >&2
  if [ ! -f "$2/CMakeCache.txt" ]; then
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" > "$log" 2>&1 ||
      { tail -20 "$log" >&2; echo "$tool: configuring $3 failed (see $log)" >&2; exit 1; }
  fi
  cmake --build "$2" --target "${targets[@]}" -j"$(nproc)" >> "$log" 2>&1 ||
    { tail -20 "$log" >&2; echo "$tool: building $3 failed (see $log)" >&2; exit 1; }
}

# The working tree's commit, marked when its sources differ from it.
current_revision() {
  echo "$(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD -- source shaders tools || echo '+changes')"
}

# Which side runs first in repetition $1: they take turns.
run_order() {
  if [ $(($1 % 2)) = 1 ]; then echo "base current"; else echo "current base"; fi
}

# One summary line from the results file $1 (lines "rep size side value") for size $2:
# the median of each side and of the ratios current / base, with the lowest and
# highest ratio; values in unit $3, the line named $4.
summarise() {
  awk -v size="$2" -v unit="$3" -v label="$4" '
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
      printf "%-9s base %8.1f %s  current %8.1f %s  ratio %.3f  (%.3f .. %.3f, %d reps)\n",
             label, median(b, n), unit, median(c, n), unit, median(q, n), lo, hi, n
    }' "$1"
}
