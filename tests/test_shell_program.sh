#!/usr/bin/env bash
# Drives the whole program on an X server (CTest runs it under xvfb-run):
# the setup dialog, the presentation window and every way the process ends.
#
# usage: test_shell_program.sh HALVANE WM_DELETE_TOOL RUNDIR SCENARIO
# RUNDIR is the assembled working directory whose film content (shaders, model,
# textures, credits, tracks) each scenario borrows; the music is made per scenario.
# scenarios: cancel, escape, close, music-ends, no-display, and the files a user can
# break, each a message box and status 1: no-music, music-truncated, model-truncated,
# shader-broken, shader-missing, shader-unlinkable, no-credits, no-texture, no-branch-texture
set -u
halvane=$1
wm_delete=$2
rundir=$3
scenario=$4

work=$(mktemp -d)
pid=0
cleanup() {
    [ "$pid" -ne 0 ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($scenario): $*"
    echo "--- program stderr:"; grep -v '^ALSA lib' "$work/err" 2>/dev/null | tail -20
    exit 1
}

# The film's content, borrowed from the run directory.
mkdir -p "$work/data"
ln -s "$rundir/shaders" "$work/shaders"
ln -s "$rundir/data/Collada2" "$work/data/Collada2"
ln -s "$rundir/data/credits.png" "$work/data/credits.png"
for track in "$rundir"/sync_*.track; do ln -s "$track" "$work/"; done

# A short stereo MP3 in ./data/music.mp3 in place of the film's.
make_music() {
    sox -n -r 44100 -c 2 -b 16 "$work/t.wav" synth "$1" sine 440 sine 660 gain -6 || fail "sox"
    lame --quiet -b 128 --cbr "$work/t.wav" "$work/data/music.mp3" || fail "lame"
    rm -f "$work/t.wav"
}

# Replaces the borrowed directory $1 (relative to the work directory) by one of links
# to its files, so single files can be removed or replaced.
own_directory() {
    local target
    target=$(readlink "$work/$1")
    rm "$work/$1"
    mkdir "$work/$1"
    for file in "$target"/*; do ln -s "$file" "$work/$1/"; done
}

# Replaces the linked file $1 by a copy of its first $2 bytes.
truncate_file() {
    local original
    original=$(readlink "$work/$1")
    rm "$work/$1"
    head -c "$2" "$original" >"$work/$1"
}

start_program() {
    (cd "$work" && exec "$halvane" >"$work/out" 2>"$work/err") &
    pid=$!
}

# Prints the id of the visible window whose name is exactly $1; fails after $2 seconds.
wait_for_window() {
    local name=$1 deadline=$((SECONDS + $2)) id=""
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits up to $1 seconds for the program to end; sets status.
wait_for_end() {
    local deadline=$((SECONDS + $1))
    while kill -0 "$pid" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && fail "still running after $1 s"
        sleep 0.1
    done
    wait "$pid"
    status=$?
    pid=0
}

dialog_keys() {
    local dialog
    dialog=$(wait_for_window Halvane 20) || fail "no dialog titled Halvane"
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool key "$@"
}

# Unchecks Fullscreen (focus order: resolution, multisampling, vsync, fullscreen) and runs.
run_windowed() {
    dialog_keys Tab Tab Tab space Return
}

not_black() {
    local max
    max=$(convert "$1" -format '%[max]' info:) || fail "cannot read $1"
    [ "${max%.*}" -gt 0 ]
}

presentation_window() {
    local window
    window=$(wait_for_window Vostrel 20) || fail "no window named Vostrel"
    echo "$window"
}

case "$scenario" in
cancel)
    make_music 3
    start_program
    dialog_keys Escape
    seen_window=0
    deadline=$((SECONDS + 20))
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
        xwininfo -root -tree 2>/dev/null | grep -q '"Vostrel"' && seen_window=1
        sleep 0.05
    done
    wait_for_end 1
    [ "$status" -eq 255 ] || fail "cancel ended with status $status, expected 255"
    [ $seen_window -eq 0 ] || fail "a Vostrel window appeared although the dialog was cancelled"
    ;;
escape)
    make_music 30
    start_program
    run_windowed
    window=$(presentation_window)
    geometry=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
    [ "$geometry" = "640x400" ] || fail "window is $geometry, expected the first display mode 640x400"
    sleep 1
    import -window root "$work/a.png" || fail "screenshot"
    sleep 1.5
    import -window root "$work/b.png" || fail "screenshot"
    not_black "$work/a.png" || fail "the window shows a black frame"
    changed=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1)
    [ "${changed%.*}" -gt 0 ] || fail "two frames 1.5 s apart are identical: frames do not follow the music"
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key a space Return     # other keys do nothing
    sleep 0.3
    kill -0 "$pid" 2>/dev/null || fail "a key other than Escape ended the program"
    xdotool key Escape
    wait_for_end 10
    [ "$status" -eq 0 ] || fail "Escape ended with status $status"
    ;;
close)
    make_music 30
    start_program
    run_windowed
    window=$(presentation_window)
    sleep 0.5
    "$wm_delete" "$window" || fail "could not send WM_DELETE_WINDOW"
    wait_for_end 10
    [ "$status" -eq 0 ] || fail "closing the window ended with status $status"
    ;;
music-ends)
    make_music 3
    start_program
    run_windowed
    presentation_window >/dev/null
    begin=$SECONDS
    wait_for_end 20
    [ "$status" -eq 0 ] || fail "the end of the music ended with status $status"
    [ $((SECONDS - begin)) -le 6 ] || fail "the program outlived its 3 s music by far"
    ;;
no-music | music-truncated | model-truncated | shader-broken | shader-missing | shader-unlinkable | \
    no-credits | no-texture | no-branch-texture)
    make_music 3
    case "$scenario" in
    no-music)
        rm "$work/data/music.mp3"
        expected='Could not open ./data/music.mp3: No such file or directory.' ;;
    music-truncated)
        # Less than one MPEG frame is left.
        head -c 100 "$work/data/music.mp3" >"$work/t.mp3" && mv "$work/t.mp3" "$work/data/music.mp3"
        expected='Could not open ./data/music.mp3: it holds no MP3 audio that can be decoded.' ;;
    model-truncated)
        own_directory data/Collada2
        truncate_file data/Collada2/warehouse_BR12.dae 20000
        expected='Unable to read file, malformed XML' ;;
    shader-broken)
        own_directory shaders
        truncate_file shaders/lighting.fp 1000000
        echo 'this is not a shader' >>"$work/shaders/lighting.fp"
        expected='shaders/lighting.fp$' ;;
    shader-missing)
        own_directory shaders
        rm "$work/shaders/pp.fp"
        expected="Cannot find file: $work/shaders/pp.fp" ;;
    shader-unlinkable)
        # Compiles, but reads an input the vertex stage never writes.
        own_directory shaders
        rm "$work/shaders/pp.fp"
        printf '#version 430 core\nin vec4 neverWritten;\nout vec4 colour;\nvoid main() { colour = neverWritten; }\n' \
            >"$work/shaders/pp.fp"
        expected='Linking shaders failed for in program postproc. ' ;;
    no-credits)
        rm "$work/data/credits.png"
        expected='data/credits.png could not be opened for reading' ;;
    no-texture)
        # The model's wood material names a texture the folder no longer has.
        own_directory data/Collada2
        rm "$work/data/Collada2/wood_diffuse.png"
        expected='VertexAttributes expects texture wood_diffuse.png' ;;
    no-branch-texture)
        own_directory data/Collada2
        rm "$work/data/Collada2/slither_normal.png"
        expected='the branches expect texture slither_normal.png' ;;
    esac
    start_program
    run_windowed
    # SDL's message box carries its title where xwininfo, not xdotool's search, sees it.
    box=""
    deadline=$((SECONDS + 30))
    while [ -z "$box" ] && [ $SECONDS -lt $deadline ] && kill -0 "$pid" 2>/dev/null; do
        box=$(xwininfo -root -tree 2>/dev/null | awk '/"Oh my god! No Wayyyy!"/ {print $1; exit}')
        sleep 0.1
    done
    [ -n "$box" ] || fail "no message box"
    sleep 0.3
    xdotool key --window "$box" Return
    wait_for_end 20
    [ "$status" -eq 1 ] || fail "ended with status $status, expected 1"
    grep -q -- "$expected" "$work/err" || fail "the message did not say: $expected"
    ;;
no-display)
    (cd "$work" && exec env -u DISPLAY -u WAYLAND_DISPLAY "$halvane" >"$work/out" 2>"$work/err") &
    pid=$!
    wait_for_end 20
    [ "$status" -ne 0 ] || fail "without a display the program ended with status 0"
    grep -q 'needs a graphical display' "$work/err" || fail "without a display the program did not say why"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
exit 0
