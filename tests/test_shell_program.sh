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

. "$(dirname "$0")/support/drive_program.sh"
borrow_film_content "$rundir"

# Replaces the linked file $1 by a copy of its first $2 bytes.
truncate_file() {
    local original
    original=$(readlink "$work/$1")
    rm "$work/$1"
    head -c "$2" "$original" >"$work/$1"
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
    dismiss_message_box
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
