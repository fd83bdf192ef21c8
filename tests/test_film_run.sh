#!/usr/bin/env bash
# The whole film, as the README's run command plays it without a display: from the
# setup dialog to the end of the music, with no message box (no GL error, no loading
# failure), no assertion, and exit status 0.
# usage: test_film_run.sh SOURCE_DIR RUNDIR
set -u
source_dir=$1
rundir=$2
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT

begin=$SECONDS
bash "$source_dir/scripts/play-headless.sh" "$rundir" 640x400 >"$log/out" 2>"$log/err"
status=$?
elapsed=$((SECONDS - begin))

fail() {
  echo "FAIL: $*"
  grep -v '^ALSA lib' "$log/err" | tail -20
  exit 1
}
[ $status -eq 0 ] || fail "the film ended with status $status after $elapsed s"
grep -q 'Oh my god' "$log/err" && fail "a message box was shown"
grep -q 'Assertion failed' "$log/err" && fail "an assertion failed"
grep -q '^Found file data/Collada2/warehouse_BR12.dae$' "$log/out" || fail "the texture scan did not report the model folder"
# The music lasts 172 s; the film must have played it, not ended early.
[ $elapsed -ge 170 ] || fail "the film ended after only $elapsed s"
echo "PASS: the film played for $elapsed s and ended with status 0"
