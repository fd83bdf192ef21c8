#!/usr/bin/env bash
# The Windows program under Wine on a virtual X server, tried as a new user would.
# Usage (inside xvfb-run): test_program.sh WINE64 RUNDIR DIALOGLISTS_EXE SCENARIO SCRATCH
#   dialog-cancel  the dialog "Halvane" shows both lists filled and both boxes checked;
#                  Escape cancels: status 255 and no window "Vostrel" ever
#   escape         Return runs: the window "Vostrel" renders frames of the film (a
#                  screenshot is neither black nor flat); Escape ends it with status 0
#   music-ends     with a 3 s music the film ends by itself with status 0
#   gl-error       a GL error raised once the window is up (HALVANE_TEST_GL_ERROR_AFTER_WINDOW):
#                  its message box stays while the window paints behind it, and Return
#                  ends the program with status 1 and the error's name on standard error
# The program runs in a Wine prefix of its own beside SCRATCH, with its own
# wineserver bound to this test's X display, stopped when the test ends.
set -u
wine=$1
rundir=$(cd "$2" && pwd) || exit 2
lists=$3
scenario=$4
scratch=$5
mkdir -p "$scratch"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX
WINEPREFIX=$(dirname "$scratch")/wineprefix
pid=""

stop_wine() {
  kill -KILL "$pid" 2>/dev/null
  /usr/lib/wine/wineserver -k 2>/dev/null
  /usr/lib/wine/wineserver -w 2>/dev/null
}

fail() {
  echo "FAIL ($scenario): $*"
  stop_wine
  [ -f "$scratch/stderr" ] && { echo "--- program's standard error:"; tail -n 30 "$scratch/stderr"; }
  exit 1
}

window_named() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}

wait_for_window() {
  local name=$1 seconds=$2 id=""
  for _ in $(seq 1 $((seconds * 10))); do
    id=$(window_named "$name")
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Focuses the window (there is no window manager to do it) and sends the key.
press() {
  for _ in $(seq 1 20); do
    xdotool windowfocus --sync "$1" 2>/dev/null && break
    sleep 0.5
  done
  sleep 0.5
  xdotool key --clearmodifiers "$2"
}

# Waits for the program; its status, or 124 after the given seconds.
wait_exit() {
  local seconds=$1
  for _ in $(seq 1 $((seconds * 10))); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; return $?; }
    if [ "$scenario" = dialog-cancel ] && [ -n "$(window_named Vostrel)" ]; then saw_window=1; fi
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  return 124
}

# A picture of the screen that is neither black nor one flat colour.
check_frames() {
  local shot=$scratch/frame.png stats mean deviation
  import -window root "$shot" 2>/dev/null || fail "no screenshot"
  stats=$(convert "$shot" -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]' info:)
  read -r mean deviation <<< "$stats"
  echo "screenshot mean $mean deviation $deviation"
  awk -v m="$mean" -v d="$deviation" 'BEGIN { exit !(m > 0.01 && d > 0.01) }' ||
    fail "the window shows no frame of the film (mean $mean, deviation $deviation)"
}

workdir=$rundir
if [ "$scenario" = music-ends ]; then
  workdir=$scratch/run
  rm -rf "$workdir"
  mkdir -p "$workdir"
  cp -r "$rundir"/. "$workdir"/
  sox -n -r 44100 -c 2 -b 16 "$scratch/short.wav" synth 3 sine 440 gain -12 || fail "sox"
  lame --quiet -b 128 --cbr "$scratch/short.wav" "$workdir/data/music.mp3" || fail "lame"
fi

hook=
[ "$scenario" = gl-error ] && hook=1
(cd "$workdir" && HALVANE_TEST_GL_ERROR_AFTER_WINDOW=$hook exec "$wine" halvane.exe) > "$scratch/stdout" 2> "$scratch/stderr" &
pid=$!
trap stop_wine EXIT
saw_window=0

case $scenario in
  dialog-cancel)
    "$wine" "$lists" 90 2>/dev/null | tr -d '\r' > "$scratch/lists"
    grep -q '^dialog ' "$scratch/lists" || fail "the dialog \"Halvane\" did not appear"
    cat "$scratch/lists"
    grep -Eq '^resolutions count [1-9][0-9]* selected -?[0-9]+: \[[0-9]+ \* [0-9]+\]' "$scratch/lists" ||
      fail "the resolution list is empty"
    grep -Eq '^multisampling count [1-9][0-9]* selected 0: \[1\]' "$scratch/lists" ||
      fail "the multisampling list is empty or not at its first entry"
    grep -q '^fullscreen 1 vsync 1$' "$scratch/lists" || fail "the check boxes do not open checked"
    dialog=$(wait_for_window Halvane 30) || fail "no X window for the dialog"
    press "$dialog" Escape
    wait_exit 60
    status=$?
    [ "$status" -eq 255 ] || fail "status $status after Cancel, expected 255"
    [ "$saw_window" -eq 0 ] || fail "a window \"Vostrel\" opened although the dialog was cancelled"
    ;;
  escape | music-ends)
    dialog=$(wait_for_window Halvane 90) || fail "the dialog \"Halvane\" did not appear"
    press "$dialog" Return
    window=$(wait_for_window Vostrel 120) || fail "the window \"Vostrel\" did not appear"
    if [ "$scenario" = escape ]; then
      sleep 6
      check_frames
      press "$window" Escape
      wait_exit 60
    else
      wait_exit 120
    fi
    status=$?
    [ "$status" -eq 0 ] || fail "status $status, expected 0"
    ;;
  gl-error)
    dialog=$(wait_for_window Halvane 90) || fail "the dialog \"Halvane\" did not appear"
    press "$dialog" Return
    box=$(wait_for_window "Oh my god! No Wayyyy!" 120) || fail "no message box (status $(wait_exit 1; echo $?))"
    # The box's own message loop sends the window paint requests meanwhile.
    sleep 3
    kill -0 "$pid" 2>/dev/null || fail "the program ended with its message box still up (status $(wait_exit 1; echo $?))"
    press "$box" Return
    wait_exit 60
    status=$?
    [ "$status" -eq 1 ] || fail "status $status after the GL error's message, expected 1"
    grep -q 'GL_INVALID_ENUM' "$scratch/stderr" || fail "the message did not name the GL error"
    ;;
  *)
    echo "unknown scenario $scenario"
    exit 2
    ;;
esac
trap - EXIT
stop_wine
echo "ok ($scenario)"
