#!/usr/bin/env bash
# The capture farm on this machine through GNU parallel, two jobs at once: three spans of
# 3 s at 160x100 join into the direct capture's audio sample for sample and its frames
# within H.264 noise; an interrupted farm keeps its finished parts and writes no output,
# and the next run renders only what is missing; a deleted and a truncated part are
# rendered again and nothing else; a span that always fails stops the farm, named, with
# no output; bad input is refused with a message.
# Usage: test_capture_farm.sh SOURCE_DIR BINARY_DIR
set -uo pipefail
src=$1 bin=$2
command -v parallel > /dev/null || { echo "SKIP: GNU parallel is not installed (scripts/setup.sh)"; exit 77; }
command -v ffmpeg > /dev/null || { echo "SKIP: ffmpeg is not installed"; exit 77; }
farm=(bash "$src/scripts/capture-farm.sh")
common=(--capture "$bin/halvane-capture" --dir "$bin/run" --size 160x100 --fps 10 --from 0 --to 3)
tmp=$(mktemp -d /tmp/hv_farm_XXXXXX)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# status, then a text the message must hold, then the farm's arguments
expect_refusal() {
  local status=$1 text=$2
  shift 2
  local said
  said=$("${farm[@]}" "$@" 2>&1)
  local got=$?
  [ $got -eq "$status" ] || fail "status $got, not $status, for $*: $said"
  [[ $said == *"$text"* ]] || fail "no '$text' in: $said"
}
headers() { grep -c '^==' "$tmp/film.parts/logs/span-000$1.log" 2> /dev/null || echo 0; }
audio() { ffmpeg -nostdin -v error -i "$1" -map 0:a -f f32le - | md5sum; }
frames() { ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$1"; }
psnr() { ffmpeg -nostdin -i "$1" -i "$2" -lavfi '[0:v][1:v]psnr' -f null - 2>&1 | grep -o 'average:[0-9.inf]*' | cut -d: -f2; }
join_matches_direct() {
  [ -f "$tmp/film.mp4" ] || { fail "$1: no joined file"; return; }
  [ "$(audio "$tmp/film.mp4")" = "$(audio "$tmp/direct.mp4")" ] || fail "$1: the audio differs from the direct capture's"
  [ "$(frames "$tmp/film.mp4")" = 30 ] || fail "$1: $(frames "$tmp/film.mp4") frames, not 30"
  local db
  db=$(psnr "$tmp/film.mp4" "$tmp/direct.mp4")
  echo "$1: PSNR of the joined frames against the direct capture: $db dB"
  [ "$db" = inf ] || awk -v d="$db" 'BEGIN { exit !(d >= 30) }' || fail "$1: PSNR $db dB is not H.264 noise"
}

expect_refusal 2 "--samples 1..64" "${common[@]}" --samples 0 --out "$tmp/film.mp4"
expect_refusal 2 "--samples 1..64" "${common[@]}" --samples 65 --out "$tmp/film.mp4"
expect_refusal 2 "shorter than a frame" "${common[@]}" --span-seconds 0.04 --out "$tmp/film.mp4"
expect_refusal 2 "shorter than a frame" "${common[@]}" --spans 31 --out "$tmp/film.mp4"
expect_refusal 1 "not writable" "${common[@]}" --out /proc/film.mp4
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
expect_refusal 1 "cannot reach 127.0.0.1" "${common[@]}" --sshlogin 127.0.0.1 --ssh "ssh -p $port" --out "$tmp/film.mp4"
[ ! -e "$tmp/film.mp4" ] || fail "a refused farm wrote its output"

"$bin/halvane-capture" "${common[@]:2}" --out "$tmp/direct.mp4" > /dev/null 2>&1 || fail "the direct capture failed"

# Interrupted once the first part is there: the parts stay, no output.
"${farm[@]}" "${common[@]}" --spans 3 --jobs 2 --out "$tmp/film.mp4" > "$tmp/interrupted.log" 2>&1 &
pid=$!
for _ in $(seq 1 600); do
  compgen -G "$tmp/film.parts/part-*.mp4" > /dev/null && break
  kill -0 $pid 2> /dev/null || break
  sleep 0.2
done
kill -TERM $pid
wait $pid
status=$?
[ $status -eq 130 ] || fail "an interrupted farm ended with $status: $(cat "$tmp/interrupted.log")"
[ ! -e "$tmp/film.mp4" ] || fail "an interrupted farm left an output file"
kept=()
for i in 0 1 2; do
  "$bin/halvane-capture" --verify "$tmp/film.parts/part-000$i.mp4" > /dev/null 2>&1 && kept+=("$i:$(headers $i)")
done
[ ${#kept[@]} -ge 1 ] || fail "no finished part survived the interrupt"

"${farm[@]}" "${common[@]}" --spans 3 --jobs 2 --out "$tmp/film.mp4" > "$tmp/resumed.log" 2>&1 ||
  fail "the resumed farm failed: $(cat "$tmp/resumed.log")"
for entry in "${kept[@]}"; do
  [ "$(headers "${entry%%:*}")" = "${entry#*:}" ] || fail "span ${entry%%:*} was rendered again although its part was kept"
done
join_matches_direct "resumed farm"

# A part deleted, another cut short: those two spans again, the third untouched.
before=$(headers 1)
rm "$tmp/film.parts/part-0000.mp4" "$tmp/film.mp4"
truncate -s 2000 "$tmp/film.parts/part-0002.mp4"
h0=$(headers 0) h2=$(headers 2)
"${farm[@]}" "${common[@]}" --spans 3 --jobs 2 --out "$tmp/film.mp4" > "$tmp/repaired.log" 2>&1 ||
  fail "the repairing farm failed: $(cat "$tmp/repaired.log")"
[ "$(headers 1)" = "$before" ] || fail "span 1 was rendered again although its part verified"
[ "$(headers 0)" = $((h0 + 1)) ] && [ "$(headers 2)" = $((h2 + 1)) ] || fail "the deleted and the truncated part were not rendered again once each"
join_matches_direct "repaired farm"

# Span 1 can never be written (its part's name is a folder): the farm names it and joins nothing.
mkdir -p "$tmp/broken.parts/part-0001.mp4"
cp "$tmp/film.parts/part-0000.mp4" "$tmp/film.parts/part-0002.mp4" "$tmp/broken.parts/"
expect_refusal 1 "span 1 (frames 10-20, 1-2 s) failed after 2 attempt(s); its log: $tmp/broken.parts/logs/span-0001.log" \
  "${common[@]}" --spans 3 --jobs 2 --retries 1 --out "$tmp/broken.mp4"
[ ! -e "$tmp/broken.mp4" ] || fail "a failed farm wrote its output"

[ $failures -eq 0 ] && echo "capture farm: all checks passed"
exit $((failures > 0))
