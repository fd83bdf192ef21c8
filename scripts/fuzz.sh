#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a bounded
# time, starting from seeds made of the film's own files.
#
#   bash scripts/fuzz.sh [SECONDS_PER_TARGET] [KIND...]     default: 60 s; track png timeline model
#
# HV_FUZZ_SEED fixes libFuzzer's random seed (CI sets it, so a run that passed there
# explores the same inputs first the next time).
# What a run adds to a corpus stays in build-fuzz/corpus/<kind> and is reused by the next
# run. An input that fails is written to build-fuzz/crashes/<kind>/; every kind still
# runs, then the script exits 1. Reproduce one with build-fuzz/fuzz_<kind> FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
kinds=("$@")
[ ${#kinds[@]} -eq 0 ] && kinds=(track png timeline model)

bash scripts/setup.sh clang-14 libfuzzer-14-dev
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
dir=build-fuzz
mkdir -p "$dir"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DHV_FUZZ=ON -DHV_BUILD_BENCHMARKS=OFF "${launcher[@]}" > "$dir/fuzz-configure.log" 2>&1 || { cat "$dir/fuzz-configure.log"; exit 1; }
echo "Building the fuzz targets"
cmake --build "$dir" --target fuzzers -j"$(nproc)" > "$dir/fuzz-build.log" 2>&1 || { tail -40 "$dir/fuzz-build.log"; exit 1; }

# Seeds, made afresh each run from the film's files; big ones also cut down.
seeds=$dir/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{track,png,timeline,model}
"$dir/synctrack" compile timeline/halvane.timeline "$seeds/track" > /dev/null
cp data/Collada2/*.png data/credits.png tests/data/frames/*.png "$seeds/png/"
if command -v convert > /dev/null; then
  convert data/credits.png -resize 16x8 "$seeds/png/small_rgba.png"
  convert data/Collada2/brick_diffuse.png -resize 8x8 "$seeds/png/small_rgb.png"
  convert data/Collada2/brick_diffuse.png -resize 8x8 -interlace PNG "$seeds/png/small_interlaced.png"
  convert data/Collada2/roof_normal.png -resize 8x8 -colors 16 PNG8:"$seeds/png/small_palette.png"
  convert data/Collada2/steel_specular.png -resize 8x8 -colorspace Gray -depth 16 "$seeds/png/small_grey16.png"
fi
cp timeline/halvane.timeline "$seeds/timeline/"
head -n 60 timeline/halvane.timeline > "$seeds/timeline/head.timeline"
cp tests/data/dae/*.dae "$seeds/model/"
"$dir/fuzz_model_seed" "$seeds/model/warehouse_small.dae"
for kind in track png timeline model; do
  [ -d "tests/data/fuzz/$kind" ] && cp "tests/data/fuzz/$kind"/* "$seeds/$kind/" 2>/dev/null || true
done

# Leaks count as findings here (a CI stage before this one may have turned them off).
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
declare -A dict=([timeline]=fuzz/timeline.dict [model]=fuzz/collada.dict)
failed=0
summary=()
for kind in "${kinds[@]}"; do
  rm -rf "$dir/crashes/$kind"
  mkdir -p "$dir/corpus/$kind" "$dir/crashes/$kind"
  options=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1
           -artifact_prefix="$dir/crashes/$kind/" -close_fd_mask=3)
  [ -n "${HV_FUZZ_SEED:-}" ] && options+=(-seed="$HV_FUZZ_SEED")
  [ -n "${dict[$kind]:-}" ] && options+=(-dict="${dict[$kind]}")
  echo "== fuzz_$kind for ${seconds} s =="
  log=$dir/fuzz_$kind.log
  # The loaders' own messages about broken inputs would drown the report: the targets'
  # output is closed (-close_fd_mask), libFuzzer's and the sanitizers' reports are kept.
  status=0
  "$dir/fuzz_$kind" "${options[@]}" "$dir/corpus/$kind" "$seeds/$kind" > "$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  corpus=$(find "$dir/corpus/$kind" -type f | wc -l)
  if [ $status -ne 0 ]; then
    failed=1
    tail -60 "$log"
    summary+=("fuzz_$kind: FAILED after ${runs:-?} executions; input in $dir/crashes/$kind/")
  else
    summary+=("fuzz_$kind: ${runs:-?} executions in ${seconds} s, nothing found; corpus $corpus files")
  fi
done
echo "== Fuzzing summary =="
printf '%s\n' "${summary[@]}"
bad=$(printf '%s\n' "${summary[@]}" | grep -c FAILED || true)
echo "fuzzing: $(( ${#kinds[@]} - bad )) passed, $bad failed"
exit $failed
