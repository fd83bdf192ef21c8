#!/usr/bin/env bash
# The capture farm over SSH: an sshd of the test's own on a free loopback port, with keys made
# for it, takes the spans through --sshlogin (the work directory is shared storage here by being
# the same disk), and the joined file is byte for byte the one the farm makes locally. The sshd
# is stopped afterwards, whatever happens.
# Usage: test_capture_farm_ssh.sh SOURCE_DIR BINARY_DIR
set -uo pipefail
src=$1 bin=$2
for tool in parallel ssh ssh-keygen /usr/sbin/sshd; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh)"; exit 77; }
done
mkdir -p /run/sshd 2> /dev/null || [ -d /run/sshd ] || { echo "SKIP: sshd needs /run/sshd"; exit 77; }
tmp=$(mktemp -d /tmp/hv_farm_ssh_XXXXXX)
sshd_pid=""
cleanup() {
  [ -n "$sshd_pid" ] && kill "$sshd_pid" 2> /dev/null && wait "$sshd_pid" 2> /dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

ssh-keygen -q -t ed25519 -N '' -f "$tmp/host_key" < /dev/null
ssh-keygen -q -t ed25519 -N '' -f "$tmp/client_key" < /dev/null
cp "$tmp/client_key.pub" "$tmp/authorized_keys"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/sbin/sshd -D -e -f /dev/null -o ListenAddress=127.0.0.1 -o Port="$port" -o HostKey="$tmp/host_key" \
  -o AuthorizedKeysFile="$tmp/authorized_keys" -o PidFile="$tmp/sshd.pid" -o StrictModes=no \
  -o PermitRootLogin=prohibit-password 2> "$tmp/sshd.log" &
sshd_pid=$!
cat > "$tmp/ssh_config" << EOF
Host 127.0.0.1
  Port $port
  IdentityFile $tmp/client_key
  IdentitiesOnly yes
  StrictHostKeyChecking no
  UserKnownHostsFile /dev/null
  LogLevel ERROR
EOF
for _ in $(seq 1 50); do
  ssh -F "$tmp/ssh_config" -o BatchMode=yes 127.0.0.1 true < /dev/null 2> /dev/null && break
  sleep 0.2
done
ssh -F "$tmp/ssh_config" -o BatchMode=yes 127.0.0.1 true < /dev/null || {
  echo "FAIL: the test's sshd on port $port does not answer: $(cat "$tmp/sshd.log")"
  exit 1
}

common=(--capture "$bin/halvane-capture" --dir "$bin/run" --size 160x100 --fps 10 --from 0 --to 1 --spans 2)
bash "$src/scripts/capture-farm.sh" "${common[@]}" --jobs 2 --out "$tmp/local.mp4" > "$tmp/local.log" 2>&1 ||
  { echo "FAIL: the local farm failed: $(cat "$tmp/local.log")"; exit 1; }
bash "$src/scripts/capture-farm.sh" "${common[@]}" --sshlogin 2/127.0.0.1 --ssh "ssh -F $tmp/ssh_config" \
  --out "$tmp/remote.mp4" > "$tmp/remote.log" 2>&1 ||
  { echo "FAIL: the farm over ssh failed: $(cat "$tmp/remote.log")"; exit 1; }
hosts=$(awk -F'\t' 'NR > 1 { print $2 }' "$tmp/remote.parts/joblog" | sort -u)
[ "$hosts" = "127.0.0.1" ] || { echo "FAIL: the spans ran on '$hosts', not over ssh on 127.0.0.1"; exit 1; }
cmp "$tmp/local.mp4" "$tmp/remote.mp4" || { echo "FAIL: the file joined over ssh is not the local one"; exit 1; }
echo "capture farm over ssh: the same file as the local farm"
