#!/usr/bin/env bash
# The capture farm as a Slurm job array on a one-node cluster the test starts here (munged,
# slurmctld and slurmd on loopback, their files in a scratch folder): the spans run as the
# array's tasks and the join job, which waits for them (afterok), writes the whole file. The
# daemons are stopped afterwards by the pids they wrote. Needs root and Debian's slurm-wlm and
# munge; skipped (77) without them.
# Usage: test_capture_farm_slurm.sh SOURCE_DIR BINARY_DIR
set -uo pipefail
src=$1 bin=$2
[ "$(id -u)" -eq 0 ] || { echo "SKIP: a Slurm cluster of our own needs root"; exit 77; }
for tool in slurmctld slurmd munged sbatch squeue sinfo runuser; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh)"; exit 77; }
done
tmp=$(mktemp -d /tmp/hv_farm_slurm_XXXXXX)
chmod 755 "$tmp"
cleanup() {
  for pidfile in slurmd.pid slurmctld.pid munged.pid; do
    [ -f "$tmp/$pidfile" ] && kill "$(cat "$tmp/$pidfile")" 2> /dev/null
  done
  sleep 1
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in slurmctld.log slurmd.log; do [ -f "$tmp/$log" ] && tail -n 5 "$tmp/$log"; done
  exit 1
}
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

common=(--capture "$bin/halvane-capture" --dir "$bin/run" --size 160x100 --fps 10 --from 0 --to 1 --spans 2)
farm=(bash "$src/scripts/capture-farm.sh" "${common[@]}" --slurm --out "$tmp/out/film.mp4")
mkdir -p "$tmp/out"

# The scripts as they would be submitted: one task per span, the join after all of them.
plan=$("${farm[@]}" --dry-run) || fail "the dry run failed: $plan"
[[ $plan == *"#SBATCH --array=0-1"* ]] || fail "no two-task array in: $plan"
[[ $plan == *"--dependency=afterok:\$array"* ]] || fail "the join does not wait for the array: $plan"
[[ $plan == *"--join-only"* ]] || fail "the join job does not join: $plan"

host=$(hostname -s)
mkdir -p "$tmp/state" "$tmp/spool" "$tmp/munge"
chown munge "$tmp/munge" 2> /dev/null || fail "no munge user"
head -c 1024 /dev/urandom > "$tmp/munge/munge.key"
chown munge "$tmp/munge/munge.key"
chmod 400 "$tmp/munge/munge.key"
runuser -u munge -- munged --force --key-file="$tmp/munge/munge.key" --socket="$tmp/munge/munge.socket" \
  --pid-file="$tmp/munge/munged.pid" --log-file="$tmp/munge/munged.log" --seed-file="$tmp/munge/munged.seed" ||
  fail "munged does not start"
for _ in $(seq 1 50); do [ -s "$tmp/munge/munged.pid" ] && break; sleep 0.1; done
cp "$tmp/munge/munged.pid" "$tmp/munged.pid"

cat > "$tmp/slurm.conf" << EOF
ClusterName=halvane
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
SlurmUser=root
AuthType=auth/munge
AuthInfo=socket=$tmp/munge/munge.socket
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SchedulerType=sched/backfill
MpiDefault=none
ReturnToService=2
StateSaveLocation=$tmp/state
SlurmdSpoolDir=$tmp/spool
SlurmctldPidFile=$tmp/slurmctld.pid
SlurmdPidFile=$tmp/slurmd.pid
SlurmctldLogFile=$tmp/slurmctld.log
SlurmdLogFile=$tmp/slurmd.log
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
NodeName=$host NodeAddr=127.0.0.1 CPUs=2 RealMemory=1000 State=UNKNOWN
PartitionName=farm Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$tmp/slurm.conf
slurmctld -f "$SLURM_CONF" || fail "slurmctld does not start"
slurmd -f "$SLURM_CONF" || fail "slurmd does not start"
for _ in $(seq 1 100); do
  [ "$(sinfo -h -o %T 2> /dev/null)" = idle ] && break
  sleep 0.2
done
[ "$(sinfo -h -o %T 2> /dev/null)" = idle ] || fail "the node is not idle: $(sinfo 2>&1)"

"${farm[@]}" > "$tmp/submit.log" 2>&1 || fail "the farm did not submit: $(cat "$tmp/submit.log")"
for _ in $(seq 1 600); do
  [ -z "$(squeue -h 2> /dev/null)" ] && break
  sleep 0.5
done
[ -z "$(squeue -h)" ] && [ -f "$tmp/out/film.mp4" ] ||
  fail "no joined file once the jobs ended: $(cat "$tmp/submit.log" "$tmp"/out/film.parts/logs/slurm-* 2>&1 | tail -n 20)"
tag=$("$bin/halvane-capture" --verify "$tmp/out/film.mp4") || fail "the joined file does not verify"
[[ $tag == "frames 0-10 fps 10 size 160x100 crf 18 samples 1 content "* ]] || fail "the joined file holds $tag"
echo "capture farm on Slurm: $(cat "$tmp/submit.log")"
