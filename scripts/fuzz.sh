#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a bounded
# time, starting from seeds made of the film's own files.
#
#   bash scripts/fuzz.sh [SECONDS_PER_TARGET] [KIND...]     default: 60 s; track png timeline model
#
# What a run adds to a corpus stays in build-fuzz/corpus/<kind> and is reused by the next
# run. An input that fails is written to build-fuzz/crashes/<kind>/; every kind still
# runs, then the script exits 1. Reproduce one with build-fuzz/fuzz_<kind> FILE.
#
# A fault whose innermost frame lies inside Assimp or libpng (known ones are listed in
# tests/data/fuzz-unguarded) is reported with its input and the target goes on for the
# rest of its time; HV_FUZZ_STRICT=1 makes it fail the run like a fault in our code.
#
# HV_FUZZ_SEED=N is how CI runs: libFuzzer's random seeds are N, N+1, ... and every
# target starts from the seeds alone (a scratch corpus), so a run explores the same
# inputs first wherever it runs; longer runs without it explore further.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
kinds=("$@")
[ ${#kinds[@]} -eq 0 ] && kinds=(track png timeline model)

# The sanitizer and libFuzzer runtimes are only recommended by clang: named here.
bash scripts/setup.sh clang-14 libfuzzer-14-dev libclang-rt-14-dev
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
# No date or time chunks, so the seeds are the same bytes on every run.
im=(-strip -define png:exclude-chunks=date,time)
if command -v convert > /dev/null; then
  convert data/credits.png "${im[@]}" -resize 16x8 "$seeds/png/small_rgba.png"
  convert data/Collada2/brick_diffuse.png "${im[@]}" -resize 8x8 "$seeds/png/small_rgb.png"
  convert data/Collada2/brick_diffuse.png "${im[@]}" -resize 8x8 -interlace PNG "$seeds/png/small_interlaced.png"
  convert data/Collada2/roof_normal.png "${im[@]}" -resize 8x8 -colors 16 PNG8:"$seeds/png/small_palette.png"
  convert data/Collada2/steel_specular.png "${im[@]}" -resize 8x8 -colorspace Gray -depth 16 "$seeds/png/small_grey16.png"
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
# The library the innermost frame of a report's stack belongs to (libFuzzer's, the
# sanitizers', the allocator's and libc's own frames skipped; an allocation too big for
# the sanitizer belongs to whoever asked for it): a fault inside Assimp or libpng that our
# code cannot guard cheaply is reported without failing the run (HV_FUZZ_STRICT=1 fails).
first_frame_module() {
  grep -E '^ +#[0-9]+ 0x' "$1" | grep -v -E '__sanitizer|fuzzer::|libc\.so|libstdc\+\+|__interceptor|__asan|__pthread_kill|in (abort|raise|__GI_|operator new|operator delete|malloc|calloc|realloc|posix_memalign|aligned_alloc)\b' |
    head -1 | sed -E 's/.*\(([^()+]*\/)?([^/()+]+)\+0x[0-9a-f]+\).*/\2/'
}
failed=0
summary=()
for kind in "${kinds[@]}"; do
  rm -rf "$dir/crashes/$kind"
  corpus_dir=$dir/corpus/$kind
  if [ -n "${HV_FUZZ_SEED:-}" ]; then
    corpus_dir=$dir/corpus-reproducible/$kind
    rm -rf "$corpus_dir"
  fi
  mkdir -p "$corpus_dir" "$dir/crashes/$kind"
  echo "== fuzz_$kind for ${seconds} s =="
  # The loaders' own messages about broken inputs would drown the report: the targets'
  # output is closed (-close_fd_mask), libFuzzer's and the sanitizers' reports are kept.
  total=0
  library=()
  ours=""
  attempt=0
  started=$SECONDS
  deadline=$((SECONDS + seconds))
  while [ $SECONDS -lt $deadline ] && [ $attempt -lt 30 ]; do
    options=(-max_total_time=$((deadline - SECONDS)) -timeout=30 -rss_limit_mb=4096 -print_final_stats=1
             -artifact_prefix="$dir/crashes/$kind/" -close_fd_mask=3)
    [ -n "${dict[$kind]:-}" ] && options+=(-dict="${dict[$kind]}")
    [ -n "${HV_FUZZ_SEED:-}" ] && options+=(-seed=$((HV_FUZZ_SEED + attempt)))
    log=$dir/fuzz_$kind.$attempt.log
    status=0
    "$dir/fuzz_$kind" "${options[@]}" "$corpus_dir" "$seeds/$kind" > "$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    total=$((total + ${runs:-0}))
    [ $status -eq 0 ] && break
    where=$(first_frame_module "$log")
    input=$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)
    if [ -z "${HV_FUZZ_STRICT:-}" ] && [[ "$where" =~ ^(libassimp|libpng) ]]; then
      library+=("inside $where: ${input:-?}")
      echo "fuzz_$kind: a fault inside $where, not our code: ${input:-?} (going on)"
    else
      tail -60 "$log"
      ours=${input:-$log}
      break
    fi
    attempt=$((attempt + 1))
  done
  took=$((SECONDS - started))
  corpus=$(find "$corpus_dir" -type f | wc -l)
  if [ -n "$ours" ]; then
    failed=1
    summary+=("fuzz_$kind: FAILED after $total executions; input $ours")
  else
    summary+=("fuzz_$kind: $total executions in $took s, nothing found in our code; corpus $corpus files")
  fi
  for finding in "${library[@]}"; do summary+=("  library fault $finding"); done
done
echo "== Fuzzing summary =="
printf '%s\n' "${summary[@]}"
bad=$(printf '%s\n' "${summary[@]}" | grep -c FAILED || true)
echo "fuzzing: $(( ${#kinds[@]} - bad )) passed, $bad failed"
exit $failed
