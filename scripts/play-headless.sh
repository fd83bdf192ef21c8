#!/usr/bin/env bash
# Plays the film on a virtual X server (no display needed): starts the program in its
# working directory, accepts the setup dialog's choices with Return, and waits until
# the film ends. The program's exit status is this script's.
# Usage: scripts/play-headless.sh RUNDIR [WIDTHxHEIGHT]   (default 1280x720)
set -u
rundir=$(cd "$1" && pwd) || exit 2
size=${2:-1280x720}
if [ -z "${HV_INSIDE_XVFB:-}" ]; then
  HV_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 ${size}x24" bash "$0" "$rundir" "$size"
fi

(cd "$rundir" && exec ./halvane) &
pid=$!
trap 'kill -KILL $pid 2>/dev/null' EXIT

dialog=""
for _ in $(seq 1 300); do
  dialog=$(xdotool search --onlyvisible --name '^Halvane$' 2>/dev/null | head -1)
  [ -n "$dialog" ] && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if [ -n "$dialog" ]; then
  xdotool windowfocus --sync "$dialog" 2>/dev/null
  xdotool key Return
fi
wait $pid
status=$?
trap - EXIT
exit $status
