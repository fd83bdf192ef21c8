#!/usr/bin/env bash
# The film as one MP4, drawn in spans by GNU parallel on this machine or others over SSH,
# or by a Slurm job array, then checked and joined with halvane-capture --join.
#
#   capture-farm.sh --out FILM.mp4 [--dir RUNDIR] [--capture PROGRAM] [--size WxH] [--fps N] [--crf Q]
#                   [--samples N] [--from S] [--to S] [--spans N | --span-seconds S] [--retries N]
#                   [--jobs N] [--sshlogin LOGIN]... [--sshloginfile FILE] [--ssh COMMAND]
#                   [--slurm [--sbatch-option OPTION]...] [--join-only] [--dry-run]
#
# Spans lie on the film's frame grid, so their parts join frame for frame. Parts and logs go to
# the work directory FILM.parts beside the output: part-NNNN.mp4, logs/span-NNNN.log, the job
# log. Running the same command again renders only the spans whose part is missing or does not
# verify (its tag: frames, settings, content fingerprint; every frame readable); GNU parallel's
# job log (--joblog with --resume-failed) remembers the spans done, and a span whose part has
# since gone or broken is taken out of it first. A span that fails is tried --retries more times;
# then the farm stops, naming the span and its log, and joins nothing. The output file appears
# only when the whole set is joined; an interrupt keeps the finished parts.
#
# Other machines (--sshlogin, --sshloginfile, GNU parallel's syntax, e.g. "4/render1") run the
# jobs on SHARED STORAGE: the run directory, halvane-capture and the work directory must be at
# the same paths there (e.g. one NFS export mounted alike everywhere). Nothing is copied; the
# farm checks each host sees them before starting.
# --slurm writes a job array (one task per span) and a join job that waits for it
# (--dependency=afterok) into the work directory and submits both with sbatch; with
# --dry-run it prints them instead. --join-only verifies the parts and joins them.
# Exit status: 0 joined, 1 a failure (the message names it), 2 a bad command line, 130 interrupted.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
self="$here/$(basename "$0")"
dir="$here/../build/run"
capture="$here/../build/halvane-capture"
out="" size=1280x720 fps=60 crf=18 samples=1 from=0 to="" spans="" span_seconds="" retries=1 jobs=""
sshlogins=() sshloginfile="" ssh_command="" slurm=0 sbatch_options=() join_only=0 dry_run=0

usage() {
  echo "capture-farm: $1" >&2
  sed -n '4,8p' "$self" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
fail() {
  echo "capture-farm: $1" >&2
  exit 1
}
is_count() { [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge "$2" ] && [ "$1" -le "$3" ]; }
is_seconds() { [[ $1 =~ ^[0-9]+([.][0-9]+)?$ ]]; }

while [ $# -gt 0 ]; do
  flag=$1
  case $flag in
    --slurm) slurm=1; shift; continue ;;
    --join-only) join_only=1; shift; continue ;;
    --dry-run) dry_run=1; shift; continue ;;
  esac
  [ $# -ge 2 ] || usage "missing value after $flag"
  value=$2
  shift 2
  case $flag in
    --out) out=$value ;;
    --dir) dir=$value ;;
    --capture) capture=$value ;;
    --size) [[ $value =~ ^[0-9]+x[0-9]+$ ]] || usage "bad size '$value' (WxH)"; size=$value ;;
    --fps) is_count "$value" 1 240 || usage "bad frame rate '$value' (1..240)"; fps=$value ;;
    --crf) is_count "$value" 0 51 || usage "bad quality '$value' (--crf 0..51)"; crf=$value ;;
    --samples) is_count "$value" 1 64 || usage "bad sample count '$value' (--samples 1..64)"; samples=$value ;;
    --from) is_seconds "$value" || usage "bad time '$value' for --from"; from=$value ;;
    --to) is_seconds "$value" || usage "bad time '$value' for --to"; to=$value ;;
    --spans) is_count "$value" 1 100000 || usage "bad span count '$value' (--spans 1..100000)"; spans=$value ;;
    --span-seconds) is_seconds "$value" || usage "bad span length '$value' (--span-seconds S)"; span_seconds=$value ;;
    --retries) is_count "$value" 0 100 || usage "bad retry count '$value' (0..100)"; retries=$value ;;
    --jobs) is_count "$value" 1 1000 || usage "bad job count '$value' (--jobs 1..1000)"; jobs=$value ;;
    --sshlogin) sshlogins+=("$value") ;;
    --sshloginfile) sshloginfile=$value ;;
    --ssh) ssh_command=$value ;;
    --sbatch-option) sbatch_options+=("$value") ;;
    *) usage "unknown option $flag" ;;
  esac
done
[ -n "$out" ] || usage "no --out given"
[ -z "$spans" ] || [ -z "$span_seconds" ] || usage "give --spans or --span-seconds, not both"
[ -n "$spans" ] || [ -n "$span_seconds" ] || span_seconds=10
[ -z "$sshloginfile" ] || [ -r "$sshloginfile" ] || usage "cannot read the ssh login file $sshloginfile"

command -v parallel > /dev/null || [ $slurm -eq 1 ] || [ $join_only -eq 1 ] ||
  fail "GNU parallel is not installed (Debian package 'parallel')"
[ -x "$capture" ] || fail "no halvane-capture at $capture (build it, or name it with --capture)"
[ -d "$dir" ] || fail "no run directory $dir"
capture=$(cd "$(dirname "$capture")" && pwd)/$(basename "$capture")
dir=$(cd "$dir" && pwd)
out_dir=$(dirname "$out")
[ -d "$out_dir" ] || fail "the output's folder $out_dir does not exist"
out="$(cd "$out_dir" && pwd)/$(basename "$out")"
work="${out%.mp4}.parts"
mkdir -p "$work/logs" 2> /dev/null && touch "$work/.writable" 2> /dev/null ||
  fail "the work directory $work is not writable"
rm -f "$work/.writable"

# The film: its content fingerprint and the music's length, hence the frame grid's end.
read -r content music_samples music_rate < <("$capture" --fingerprint --dir "$dir" 2> "$work/logs/fingerprint.log") ||
  fail "cannot read the film in $dir: $(cat "$work/logs/fingerprint.log")"
[ -n "${music_rate:-}" ] || fail "cannot read the film in $dir: $(cat "$work/logs/fingerprint.log")"
music_end=$(((music_samples * fps + music_rate - 1) / music_rate))
grid() { awk -v t="$1" -v f="$fps" 'BEGIN { x = t * f - 1e-6; n = int(x); if (n < x) n++; print n }'; }
first=$(grid "$from")
end=$music_end
if [ -n "$to" ]; then
  end=$(grid "$to")
  [ "$end" -le "$music_end" ] || fail "--to $to is past the end of the music ($music_end frames at $fps fps)"
fi
[ "$end" -gt "$first" ] || usage "the span holds no frame at $fps fps"
frames=$((end - first))

# The spans: [bounds[i], bounds[i+1]) in film frames.
bounds=()
if [ -n "$spans" ]; then
  [ "$spans" -le "$frames" ] || usage "$spans spans of $frames frames: a span would be shorter than a frame"
  for ((i = 0; i <= spans; i++)); do bounds+=($((first + i * frames / spans))); done
else
  length=$(awk -v s="$span_seconds" -v f="$fps" 'BEGIN { printf "%d", s * f + 0.5 }')
  [ "$length" -ge 1 ] || usage "a span of $span_seconds s is shorter than a frame at $fps fps"
  for ((n = first; n < end; n += length)); do bounds+=("$n"); done
  bounds+=("$end")
fi
count=$((${#bounds[@]} - 1))
seconds_at() { awk -v n="$1" -v f="$fps" 'BEGIN { printf "%.9f", n / f }'; }
expected_tag() { echo "frames $1-$2 fps $fps size $size crf $crf samples $samples content $content"; }
part_of() { printf '%s/part-%04d.mp4' "$work" "$1"; }
log_of() { printf '%s/logs/span-%04d.log' "$work" "$1"; }
verifies() { [ "$("$capture" --verify "$(part_of "$1")" 2> /dev/null)" = "$(expected_tag "${bounds[$1]}" "${bounds[$1 + 1]}")" ]; }
describe() {
  echo "span $1 (frames ${bounds[$1]}-${bounds[$1 + 1]}, $(seconds_at "${bounds[$1]}" | sed 's/0*$//;s/\.$//')-$(seconds_at "${bounds[$1 + 1]}" | sed 's/0*$//;s/\.$//') s)"
}

# Each span's job, readable wherever the work directory is: renders the part unless it verifies.
{
  echo "#!/usr/bin/env bash"
  echo "# One span of the capture farm: $work/part-NNNN.mp4 for span \$1 (a line of spans.txt)."
  echo "set -uo pipefail"
  echo "read -r index first end from to < <(sed -n \"\$((\$1 + 1))p\" '$work/spans.txt')"
  echo "part=\$(printf '%s/part-%04d.mp4' '$work' \"\$index\"); log=\$(printf '%s/logs/span-%04d.log' '$work' \"\$index\")"
  echo "expected=\"frames \$first-\$end fps $fps size $size crf $crf samples $samples content $content\""
  echo "[ \"\$('$capture' --verify \"\$part\" 2> /dev/null)\" = \"\$expected\" ] && exit 0"
  echo "echo \"== \$(date -u +%FT%TZ) on \$(hostname): frames \$first-\$end\" >> \"\$log\""
  echo "rm -f \"\$part\" 2> /dev/null"
  echo "bound=(--to \"\$to\"); [ \"\$to\" = - ] && bound=()"
  echo "'$capture' --dir '$dir' --size $size --fps $fps --crf $crf --samples $samples --from \"\$from\" \"\${bound[@]}\" \\"
  echo "  --out \"\$part\" >> \"\$log\" 2>&1 || exit 1"
  echo "got=\$('$capture' --verify \"\$part\" 2>> \"\$log\")"
  echo "[ \"\$got\" = \"\$expected\" ] && exit 0"
  echo "echo \"the part does not verify: '\$got' is not '\$expected'\" >> \"\$log\"; rm -f \"\$part\" 2> /dev/null; exit 1"
} > "$work/span.sh"
for ((i = 0; i < count; i++)); do
  stop=$(seconds_at "${bounds[$i + 1]}")
  # The music's own end, not a time a hair past it, for the span that ends with the film.
  [ -z "$to" ] && [ "${bounds[$i + 1]}" -eq "$music_end" ] && stop=-
  echo "$i ${bounds[$i]} ${bounds[$i + 1]} $(seconds_at "${bounds[$i]}") $stop"
done > "$work/spans.txt"
settings="$(expected_tag "$first" "$end") spans $(echo "${bounds[*]}" | cksum | cut -d' ' -f1)"

join_parts() {
  local missing=() parts=()
  for ((i = 0; i < count; i++)); do
    verifies "$i" || missing+=("$(describe "$i")")
    parts+=("$(part_of "$i")")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    printf 'capture-farm: not joined: %s has no part that verifies\n' "${missing[@]}" >&2
    exit 1
  fi
  if [ "$count" -eq 1 ]; then
    cp "${parts[0]}" "$out.joining" && mv "$out.joining" "$out" || { rm -f "$out.joining"; fail "cannot write $out"; }
  else
    "$capture" --join --dir "$dir" --out "$out" "${parts[@]}" 2> "$work/logs/join.log" > /dev/null ||
      fail "the join failed: $(tail -n 3 "$work/logs/join.log")"
  fi
  echo "$out"
}

if [ $join_only -eq 1 ]; then
  join_parts
  exit 0
fi

if [ $slurm -eq 1 ]; then
  throttle=""
  [ -n "$jobs" ] && throttle="%$jobs"
  {
    echo "#!/usr/bin/env bash"
    echo "#SBATCH --job-name=halvane-spans"
    echo "#SBATCH --array=0-$((count - 1))$throttle"
    echo "#SBATCH --output=$work/logs/slurm-%A_%a.out"
    for option in "${sbatch_options[@]}"; do echo "#SBATCH $option"; done
    echo "# Span \$SLURM_ARRAY_TASK_ID, tried $((retries + 1)) times at most."
    echo "for attempt in \$(seq 0 $retries); do bash '$work/span.sh' \"\$SLURM_ARRAY_TASK_ID\" && exit 0; done"
    echo "exit 1"
  } > "$work/spans.sbatch"
  join_command=("$self" --out "$out" --dir "$dir" --capture "$capture" --size "$size" --fps "$fps" --crf "$crf"
    --samples "$samples" --from "$from" --join-only)
  [ -n "$to" ] && join_command+=(--to "$to")
  [ -n "$spans" ] && join_command+=(--spans "$spans") || join_command+=(--span-seconds "$span_seconds")
  {
    echo "#!/usr/bin/env bash"
    echo "#SBATCH --job-name=halvane-join"
    echo "#SBATCH --output=$work/logs/slurm-join-%j.out"
    for option in "${sbatch_options[@]}"; do echo "#SBATCH $option"; done
    printf 'exec bash'
    printf ' %q' "${join_command[@]}"
    echo
  } > "$work/join.sbatch"
  if [ $dry_run -eq 1 ]; then
    echo "# $work/spans.sbatch"
    cat "$work/spans.sbatch"
    echo "# $work/join.sbatch"
    cat "$work/join.sbatch"
    echo "# submit with:"
    echo "array=\$(sbatch --parsable '$work/spans.sbatch')"
    echo "sbatch --parsable --dependency=afterok:\$array '$work/join.sbatch'"
    exit 0
  fi
  command -v sbatch > /dev/null || fail "sbatch is not installed (Debian package 'slurm-client' or 'slurm-wlm')"
  array=$(sbatch --parsable "$work/spans.sbatch") || fail "sbatch refused the span array"
  array=${array%%;*}
  joined=$(sbatch --parsable --dependency=afterok:"$array" "$work/join.sbatch") || fail "sbatch refused the join job"
  echo "submitted: $count spans as job array $array, the join as job ${joined%%;*} after it; parts in $work"
  exit 0
fi

# Hosts: each must answer and see the program, the film and the work directory at the same paths.
ssh_hosts=()
for login in "${sshlogins[@]}"; do ssh_hosts+=("$login"); done
if [ -n "$sshloginfile" ]; then
  while read -r login; do
    [[ -z $login || $login == \#* ]] || ssh_hosts+=("$login")
  done < "$sshloginfile"
fi
ssh_run=(ssh)
[ -n "$ssh_command" ] && read -r -a ssh_run <<< "$ssh_command"
for login in "${ssh_hosts[@]}"; do
  host=${login#*/}
  [ "$host" = ":" ] && continue
  "${ssh_run[@]}" -o BatchMode=yes -o ConnectTimeout=10 "$host" true < /dev/null > /dev/null 2>&1 ||
    fail "cannot reach $host over ssh (${ssh_run[*]} $host)"
  "${ssh_run[@]}" -o BatchMode=yes "$host" "test -x '$capture' && test -d '$dir/data' && test -w '$work'" \
    < /dev/null > /dev/null 2>&1 ||
    fail "$host does not see $capture, $dir and a writable $work at the same paths: the farm needs them on shared storage"
done

if [ $dry_run -eq 1 ]; then
  cat "$work/spans.txt"
  exit 0
fi

# What is done already: parts that verify. The job log keeps only spans whose part still does.
todo=()
for ((i = 0; i < count; i++)); do verifies "$i" || todo+=("$i"); done
joblog="$work/joblog"
if [ -f "$joblog" ] && [ "$(cat "$work/settings" 2> /dev/null)" = "$settings" ]; then
  done_list=" $(for ((i = 0; i < count; i++)); do verifies "$i" && echo -n "$((i + 1)) "; done)"
  awk -F'\t' -v keep="$done_list" 'NR == 1 || (index(keep, " " $1 " ") && $7 == 0 && $8 == 0) { line[$1] = $0; if (NR == 1) print }
      END { for (s in line) if (s != "Seq") print line[s] }' "$joblog" > "$joblog.kept" && mv "$joblog.kept" "$joblog"
else
  rm -f "$joblog"
fi
echo "$settings" > "$work/settings"
echo "capture-farm: $count spans of $frames frames ($size, $fps fps, $samples sample(s)); ${#todo[@]} to render," \
  "$((count - ${#todo[@]})) done already in $work" >&2

if [ ${#todo[@]} -gt 0 ]; then
  # A part that does not verify is worth nothing; gone, a part that appears is a finished span.
  for i in "${todo[@]}"; do rm -f "$(part_of "$i")" 2> /dev/null; done
  options=(--joblog "$joblog" --resume-failed --retries "$((retries + 1))" --halt soon,fail=1 --line-buffer)
  [ -n "$jobs" ] && options+=(-j "$jobs")
  for login in "${sshlogins[@]}"; do options+=(--sshlogin "$login"); done
  [ -n "$sshloginfile" ] && options+=(--sshloginfile "$sshloginfile")
  [ -n "$ssh_command" ] && options+=(--ssh "$ssh_command")
  started=$(date +%s)
  parallel "${options[@]}" bash "$work/span.sh" {} ::: $(seq 0 $((count - 1))) < /dev/null &
  farm=$!
  interrupted=0
  trap 'interrupted=1; kill -TERM $farm 2> /dev/null; sleep 0.5; kill -TERM $farm 2> /dev/null' INT TERM

  # Progress: spans done of all, frames per second over every worker, time left.
  todo_frames=0
  for i in "${todo[@]}"; do todo_frames=$((todo_frames + bounds[i + 1] - bounds[i])); done
  report() {
    local finished=0 drawn=0 now elapsed fps_all left
    for i in "${todo[@]}"; do
      if [ -f "$(part_of "$i")" ]; then
        finished=$((finished + 1))
        drawn=$((drawn + bounds[i + 1] - bounds[i]))
      elif [ -f "$(log_of "$i")" ]; then
        # The latest progress line of the latest attempt (each begins with "==").
        partial=$(awk '/^==/ { n = 0 } match($0, /[0-9]+\/[0-9]+ frames/) { n = substr($0, RSTART); sub(/\/.*/, "", n) }
          END { print n + 0 }' "$(log_of "$i")")
        drawn=$((drawn + ${partial:-0}))
      fi
    done
    now=$(date +%s)
    elapsed=$((now - started))
    fps_all=$(awk -v d="$drawn" -v e="$elapsed" 'BEGIN { printf "%.2f", (e > 0 ? d / e : 0) }')
    left=$(awk -v d="$drawn" -v e="$elapsed" -v t="$todo_frames" \
      'BEGIN { if (d == 0) { print "?"; exit } s = int((t - d) * e / d + 0.5); printf "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60 }')
    echo "capture-farm: $((count - ${#todo[@]} + finished))/$count spans, $drawn/$todo_frames frames this run," \
      "$fps_all fps over all workers, $left left" >&2
  }
  interval=10
  [ -t 2 ] && interval=2
  while kill -0 $farm 2> /dev/null; do
    for ((t = 0; t < interval * 2; t++)); do
      kill -0 $farm 2> /dev/null || break
      sleep 0.5
    done
    kill -0 $farm 2> /dev/null && report
  done
  wait $farm
  status=$?
  trap - INT TERM
  if [ $interrupted -eq 1 ]; then
    echo "capture-farm: interrupted; the finished parts stay in $work for the next run, no $out" >&2
    exit 130
  fi
  report
  if [ $status -ne 0 ]; then
    # The span GNU parallel gave up on, from its job log.
    for seq in $(awk -F'\t' 'NR > 1 && ($7 != 0 || $8 != 0) { print $1 }' "$joblog" | sort -nu); do
      i=$((seq - 1))
      verifies "$i" && continue
      fail "$(describe "$i") failed after $((retries + 1)) attempt(s); its log: $(log_of "$i"); nothing joined"
    done
    fail "GNU parallel failed (status $status); see $joblog; nothing joined"
  fi
fi
join_parts
