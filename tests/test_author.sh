#!/usr/bin/env bash
# halvane-author on an X server (CTest runs it under xvfb-run), driven as an author
# would drive it: keys through xdotool, edits to a copy of the film's sources, the
# log on standard output and screenshots of the window.
#
# usage: test_author.sh AUTHOR FRAMES SOURCEDIR RUNDIR SCENARIO [SYNCTRACK]
# scenarios: transport, seek-frame, timeline, shader, texture, bad-start, fly
set -u
author=$1
frames=$2
src=$3
rundir=$4
scenario=$5
synctrack=${6:-}

. "$(dirname "$0")/support/drive_program.sh"
win=""

# The tool's log shows what it was doing when a check failed.
fail() {
    echo "FAIL ($scenario): $*"
    echo "--- log:"; grep -v '^Found file\|^Skipped image' "$work/out" 2>/dev/null | tail -30
    echo "--- stderr:"; grep -v '^ALSA lib' "$work/err" 2>/dev/null | tail -20
    exit 1
}

# A copy of the film's sources, as an author's checkout; the music is only read.
mkdir -p "$work/film/data"
cp -r "$src/timeline" "$src/shaders" "$work/film/"
cp -r "$src/data/Collada2" "$src/data/credits.png" "$work/film/data/"
ln -s "$src/data/music.mp3" "$work/film/data/music.mp3"

W=240
H=160
start_author() {
    (cd "$work/film" && exec "$author" --size ${W}x${H} "$@" >"$work/out" 2>"$work/err") &
    pid=$!
    wait_log "^start " 120 || fail "no start line"
    local deadline=$((SECONDS + 30))
    while [ -z "$win" ] && [ $SECONDS -lt $deadline ]; do
        win=$(xdotool search --onlyvisible --name '^halvane-author$' 2>/dev/null | head -1)
        [ -z "$win" ] && sleep 0.2
    done
    [ -n "$win" ] || fail "no window"
}

# Waits until the log has a line matching $1 (extended regex), at most $2 seconds;
# FOUND is the last such line.
FOUND=""
wait_log() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        if grep -Eq "$1" "$work/out" 2>/dev/null; then
            FOUND=$(grep -E "$1" "$work/out" | tail -1)
            return 0
        fi
        [ "$pid" -ne 0 ] && ! kill -0 "$pid" 2>/dev/null && return 1
        sleep 0.1
    done
    return 1
}

# The number of log lines so far, and (in FOUND) the first line matching $2 after line $1.
lines() { wc -l < "$work/out"; }
wait_log_after() {
    local from=$1 pattern=$2 deadline=$((SECONDS + $3))
    while [ $SECONDS -lt $deadline ]; do
        FOUND=$(tail -n +"$((from + 1))" "$work/out" | grep -E "$pattern" | head -1)
        [ -n "$FOUND" ] && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Presses a key and waits for the log line it must give (then in FOUND).
press() {
    local before
    before=$(lines)
    xdotool key --window "$win" "$1"
    wait_log_after "$before" "$2" 60 || fail "key $1 gave no line matching '$2'"
    line=$FOUND
}

shot() { import -window root -crop ${W}x${H}+0+0 +repage "$1" 2>/dev/null || fail "screenshot"; }

# Pixels that differ by more than a few levels; the grain moves a few levels only.
differing() { compare -metric AE -fuzz 8% "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# Waits until the window shows something other than $1 and holds still; writes it to $2.
wait_picture_change() {
    local before=$1 out=$2 deadline=$((SECONDS + $3))
    while [ $SECONDS -lt $deadline ]; do
        shot "$work/probe.png"
        if [ "$(differing "$before" "$work/probe.png")" != 0 ]; then
            CHANGED_AT=$EPOCHREALTIME
            wait_still "$out" 60
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits until two screenshots half a second apart agree (a paused film shows one frame).
wait_still() {
    local out=$1 deadline=$((SECONDS + $2))
    shot "$work/still_a.png"
    while [ $SECONDS -lt $deadline ]; do
        sleep 0.5
        shot "$work/still_b.png"
        if [ "$(differing "$work/still_a.png" "$work/still_b.png")" = 0 ]; then
            cp "$work/still_b.png" "$out"
            return 0
        fi
        mv "$work/still_b.png" "$work/still_a.png"
    done
    return 1
}

# Reddish pixels in the overlay's part of the window (the top half, or $2 rows): a
# failure message is on screen.
red_pixels() {
    convert "$1" -crop ${W}x${2:-$((H / 2))}+0+0 +repage -fx 'r > 0.75 && g < 0.6 && b < 0.6 ? 1 : 0' \
        -format '%[fx:mean*w*h]' info: 2>/dev/null | cut -d. -f1
}

time_of() { echo "$1" | awk '{print $NF}'; }
bar_line() { awk -v t="$1" -v n="$2" 'BEGIN { b = int(t / 2 + 1e-6) + n; if (b < 0) b = 0; printf "%.3f", b * 2 }'; }

finish() {
    xdotool key --window "$win" Escape
    local deadline=$((SECONDS + 30))
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "still running after Escape"
    wait "$pid"
    local status=$?
    pid=0
    [ "$status" -eq 0 ] || fail "status $status after Escape"
}

case "$scenario" in
transport)
    start_author --at 20
    press space '^pause '; paused=$(time_of "$line")
    awk -v t="$paused" 'BEGIN { exit !(t >= 20 && t < 170) }' || fail "paused at $paused"
    press Right "^seek $(bar_line "$paused" 1)\$"
    press shift+Right "^seek $(bar_line "$paused" 9)\$"
    press Left "^seek $(bar_line "$paused" 8)\$"
    press shift+Left "^seek $(bar_line "$paused" 0)\$"
    press Home '^seek 0.000$'
    press Right '^seek 2.000$'
    press Left '^seek 0.000$'
    press Left '^seek 0.000$'
    press shift+Right '^seek 16.000$'
    press bracketleft '^loop start 16.000$'
    press bracketright '^loop end 18.000$'
    press space '^play '
    [ "$(time_of "$line")" = 16.000 ] || fail "played from $(time_of "$line") instead of 16.000"
    # The loop's end sends the film back to its start, with the music.
    before=$(lines)
    wait_log_after "$before" '^loop 16.000$' 60 || fail "the loop did not wrap"
    press space '^pause '
    held=$(time_of "$line")
    awk -v t="$held" 'BEGIN { exit !(t >= 16 && t < 18) }' || fail "paused outside the loop: $line"
    press BackSpace '^loop clear$'
    # Paused, the film time holds: resuming reports the same time.
    sleep 1
    press space "^play $held\$"
    finish
    ;;
seek-frame)
    start_author --at 20
    press space '^pause '
    paused=$(time_of "$line")
    press Tab '^overlay off$'
    wait_still "$work/before.png" 60 || fail "the paused picture does not hold still"
    target=$(bar_line "$paused" 8)
    press shift+Right "^seek $target\$"
    wait_picture_change "$work/before.png" "$work/after.png" 60 || fail "the seek did not change the picture"
    "$frames" --dir "$rundir" --size ${W}x${H} --time "$target" --out "$work/frames" >/dev/null 2>&1 ||
        fail "halvane-frames failed"
    reference=$(ls "$work"/frames/frame_*.png)
    d=$(differing "$reference" "$work/after.png")
    echo "pixels differing from halvane-frames at $target: $d of $((W * H))"
    [ "$d" -le $((W * H / 100)) ] || fail "the frame after the seek differs from halvane-frames in $d pixels"
    finish
    ;;
timeline)
    start_author --at 30
    press space '^pause '
    press Tab '^overlay off$'
    wait_still "$work/before.png" 60 || fail "the paused picture does not hold still"
    # The light at a fifth of its strength, from the first key on: the current row changes.
    awk '/^\[/ { section = $0 } section == "[light_intens]" && $1 ~ /^[0-9]/ { $2 = $2 * 0.2 } { print }' \
        "$work/film/timeline/halvane.timeline" > "$work/edited.timeline"
    before=$(lines)
    cat "$work/edited.timeline" > "$work/film/timeline/halvane.timeline"
    saved=$EPOCHREALTIME
    wait_log_after "$before" '^reload timeline: 22 tracks$' 30 || fail "no reload line"
    wait_picture_change "$work/before.png" "$work/after.png" 30 || fail "the edit did not change the picture"
    echo "picture changed $(awk -v a="$saved" -v b="$CHANGED_AT" 'BEGIN { printf "%.2f", b - a }') s after the save"
    # A broken timeline keeps the tracks and names the file and line.
    before=$(lines)
    printf '[credits]\n0 1 wobbly\n' >> "$work/film/timeline/halvane.timeline"
    wait_log_after "$before" '^reload timeline: failed: ' 30 || fail "no failure line"
    line=$FOUND
    echo "$line" | grep -q 'halvane.timeline:[0-9]' || fail "no file and line in: $line"
    grep -q 'halvane.timeline:[0-9]' "$work/err" || fail "the failure is not on standard error"
    shot "$work/kept.png"
    [ "$(differing "$work/after.png" "$work/kept.png")" -le $((W * H / 100)) ] || fail "a failed reload changed the picture"
    finish
    ;;
shader)
    start_author --at 30
    press space '^pause '
    target=$(bar_line "$(time_of "$line")" 1)
    press Right "^seek $target\$"
    wait_still "$work/before.png" 60 || fail "the paused picture does not hold still"
    [ "$(red_pixels "$work/before.png")" -eq 0 ] || fail "red in the overlay before any failure"
    cp "$work/film/shaders/pp.fp" "$work/pp.fp.good"
    { cat "$work/pp.fp.good"; echo "this is not GLSL;"; } > "$work/pp.fp.bad"
    before=$(lines)
    mv "$work/pp.fp.bad" "$work/film/shaders/pp.fp"   # saved the way many editors save: a rename
    wait_log_after "$before" '^reload shaders/pp.fp: failed: ' 30 || fail "no failure line"
    line=$FOUND
    echo "$line" | grep -Eq '[0-9]+\([0-9]+\)' || fail "no line number in: $line"
    wait_picture_change "$work/before.png" "$work/broken.png" 30 || fail "no message on screen"
    [ "$(red_pixels "$work/broken.png")" -gt 20 ] || fail "no failure message in the overlay"
    # The film runs on with the old program.
    press space '^play '
    sleep 2
    press space '^pause '
    awk -v t="$(time_of "$line")" -v s="$target" 'BEGIN { exit !(t > s) }' || fail "the film did not run on: $line"
    # Mended, the program is rebuilt, the message goes and the picture is the one from before.
    before=$(lines)
    cp "$work/pp.fp.good" "$work/film/shaders/pp.fp"
    wait_log_after "$before" '^reload shaders/pp.fp: postproc$' 30 || fail "no reload after mending"
    press Home '^seek 0.000$'
    bars=$(awk -v t="$target" 'BEGIN { printf "%d", t / 2 }')
    for _ in $(seq $((bars / 8))); do xdotool key --window "$win" shift+Right; done
    for _ in $(seq $((bars % 8))); do xdotool key --window "$win" Right; done
    wait_log "^seek $target\$" 60 || fail "could not return to $target"
    sleep 1
    wait_still "$work/mended.png" 60 || fail "the mended picture does not hold still"
    [ "$(red_pixels "$work/mended.png")" -eq 0 ] || fail "the message stayed after mending"
    # Below the overlay's panel (its lines differ: the reload, the frame rate).
    convert "$work/before.png" -crop ${W}x$((H / 2))+0+$((H / 2)) +repage "$work/before_low.png"
    convert "$work/mended.png" -crop ${W}x$((H / 2))+0+$((H / 2)) +repage "$work/mended_low.png"
    d=$(differing "$work/before_low.png" "$work/mended_low.png")
    [ "$d" -le $((W * H / 200)) ] || fail "the mended picture differs from the first in $d pixels"
    finish
    ;;
texture)
    start_author --at 30
    press space '^pause '
    press Tab '^overlay off$'
    wait_still "$work/before.png" 60 || fail "the paused picture does not hold still"
    before=$(lines)
    head -c 3000 "$work/film/data/Collada2/concrete_diffuse.png" > "$work/film/data/Collada2/concrete_diffuse.png.part"
    mv "$work/film/data/Collada2/concrete_diffuse.png.part" "$work/film/data/Collada2/concrete_diffuse.png"
    wait_log_after "$before" '^reload data/Collada2/concrete_diffuse.png: failed: ' 30 ||
        fail "no failure line for a cut PNG"
    sleep 1
    wait_still "$work/kept.png" 60 || fail "the picture does not hold still"
    [ "$(differing "$work/before.png" "$work/kept.png")" -eq 0 ] || fail "a broken PNG changed the picture"
    before=$(lines)
    convert -size 64x64 xc:'rgb(255,0,0)' PNG24:"$work/film/data/Collada2/concrete_diffuse.png"
    wait_log_after "$before" '^reload data/Collada2/concrete_diffuse.png: texture concrete_diffuse.png$' 30 ||
        fail "no reload line for a good PNG"
    wait_picture_change "$work/before.png" "$work/after.png" 30 || fail "the new texture did not show"
    finish
    ;;
fly)
    start_author --at 30
    press space '^pause '
    target=$(bar_line "$(time_of "$line")" 1)
    press Right "^seek $target\$"
    row=$(awk -v t="$target" 'BEGIN { printf "%d:0", t / 2 }')
    press Tab '^overlay off$'
    wait_still "$work/film.png" 60 || fail "the paused picture does not hold still"
    timeline=$work/film/timeline/halvane.timeline
    cp "$timeline" "$work/original.timeline"
    fly() { for key in w w w d d ctrl+Left ctrl+Up; do xdotool key --window "$win" $key; done; }
    # Leaving without writing gives back the film's frame exactly.
    press f '^fly on$'
    fly
    wait_picture_change "$work/film.png" "$work/flown.png" 60 || fail "flying did not move the camera"
    press f '^fly off$'
    sleep 1
    wait_still "$work/back.png" 60 || fail "the picture does not hold still after flying"
    [ "$(differing "$work/film.png" "$work/back.png")" -eq 0 ] || fail "leaving fly mode did not restore the film's frame"
    # So does leaving bunch mode, though the branches were simulated again for the moved bunch.
    press b '^bunch on$'
    for key in e e e d; do xdotool key --window "$win" $key; done
    wait_picture_change "$work/film.png" "$work/bunch.png" 60 || fail "moving the bunch did not move the branches"
    press b '^bunch off$'
    sleep 1
    wait_still "$work/back.png" 60 || fail "the picture does not hold still after moving the bunch"
    [ "$(differing "$work/film.png" "$work/back.png")" -eq 0 ] || fail "leaving bunch mode did not restore the film's frame"
    # Written, the timeline reloads once and the film is halvane-frames' with the new tracks.
    press f '^fly on$'
    fly
    before=$(lines)
    press Return "^keys ts.eyepos.x ts.eyepos.y ts.eyepos.z ts.tarpos.x ts.tarpos.y ts.tarpos.z up.x up.y up.z at $row\$"
    wait_log_after "$before" '^reload timeline: 22 tracks$' 30 || fail "the written timeline did not reload"
    cp "$timeline" "$work/written.timeline"
    sleep 1
    wait_still "$work/seen.png" 60 || fail "the flown picture does not hold still"
    press f '^fly off$'
    sleep 1
    wait_still "$work/after.png" 60 || fail "the written picture does not hold still"
    [ "$(differing "$work/seen.png" "$work/after.png")" -eq 0 ] || fail "the written keys are not what was seen"
    reloads=$(tail -n +"$((before + 1))" "$work/out" | grep -c '^reload timeline')
    [ "$reloads" -eq 1 ] || fail "$reloads reloads of one write"
    [ "$(differing "$work/film.png" "$work/after.png")" -gt 0 ] || fail "the written keys changed nothing"
    mkdir "$work/run"
    for entry in "$rundir"/*; do
        case "$entry" in *.track) ;; *) ln -s "$entry" "$work/run/" ;; esac
    done
    "$synctrack" compile "$timeline" "$work/run" >/dev/null || fail "synctrack cannot compile the written timeline"
    "$frames" --dir "$work/run" --size ${W}x${H} --time "$target" --out "$work/frames" >/dev/null 2>&1 ||
        fail "halvane-frames failed"
    d=$(differing "$(ls "$work"/frames/frame_*.png)" "$work/after.png")
    echo "pixels differing from halvane-frames with the written keys at $target: $d of $((W * H))"
    [ "$d" -le $((W * H / 100)) ] || fail "the written frame differs from halvane-frames in $d pixels"
    # Undo and redo give back the exact bytes.
    press ctrl+z '^undo keys '
    cmp -s "$timeline" "$work/original.timeline" || fail "undo did not give back the original bytes"
    press ctrl+y '^redo keys '
    cmp -s "$timeline" "$work/written.timeline" || fail "redo did not give back the written bytes"
    # Read-only, then deleted: said on screen and on standard error, the text left as it was.
    press Tab '^overlay on$'
    press f '^fly on$'
    chmod a-w "$timeline"
    press Return '^keys: refused: .*read-only'
    grep -q 'read-only' "$work/err" || fail "the refusal is not on standard error"
    cmp -s "$timeline" "$work/written.timeline" || fail "a read-only timeline changed"
    sleep 1
    wait_still "$work/refused.png" 60 || fail "the refused picture does not hold still"
    [ "$(red_pixels "$work/refused.png" $H)" -gt 20 ] || fail "no refusal on screen"
    chmod u+w "$timeline"
    mv "$timeline" "$work/moved.timeline"
    press Return '^keys: refused: .*gone'
    [ ! -e "$timeline" ] || fail "a deleted timeline came back"
    [ -n "${HV_KEEP_SHOTS:-}" ] && cp "$work"/*.png "$HV_KEEP_SHOTS/"
    finish
    ;;
bad-start)
    printf 'rows_per_beat 8\n[credits]\n0 1 wobbly\n' > "$work/film/timeline/halvane.timeline"
    (cd "$work/film" && "$author" --size ${W}x${H} >"$work/out" 2>"$work/err")
    status=$?
    [ "$status" -eq 1 ] || fail "status $status for a broken timeline at start"
    grep -q 'halvane.timeline:3' "$work/err" || fail "no file and line for the broken timeline"
    (cd "$work" && "$author" >"$work/out" 2>"$work/err")
    [ $? -eq 1 ] || fail "status for a start outside the repository"
    grep -q "root" "$work/err" || fail "no hint where to start"
    "$author" --size 12 >/dev/null 2>&1
    [ $? -eq 2 ] || fail "status for a bad --size"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
