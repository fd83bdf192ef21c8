#!/usr/bin/env bash
# Drives the whole program on an X server (CTest runs it under xvfb-run):
# the setup dialog, the presentation window and every way the process ends.
#
# usage: test_shell_program.sh HALVANE WM_DELETE_TOOL RUNDIR SCENARIO
# RUNDIR is the assembled working directory whose film content (shaders, model,
# textures, credits, tracks) each scenario borrows; the music is made per scenario.
# scenarios: cancel, escape, resized, close, music-ends, no-display, and the files a user can
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

# The normalised root-mean-square difference of two pictures of one size.
rmse() {
    compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'
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
    [ "$geometry" = "640x400" ] || fail "window is $geometry, expected the desktop's mode 640x400"
    # The icon is the Windows icon's picture, pixel for pixel (0xAARRGGBB, rows from the top).
    icon=$(xprop -id "$window" -notype -f _NET_WM_ICON 32c _NET_WM_ICON | sed 's/^[^=]*= //; s/, /\n/g')
    expected=$(convert "$(dirname "$0")/../source/platform/win32/halvane.ico[0]" -depth 8 rgba:- |
        od -An -v -tu1 -w4 | awk 'BEGIN {print 48; print 48} {printf "%.0f\n", $4 * 16777216 + $1 * 65536 + $2 * 256 + $3}')
    [ "$icon" = "$expected" ] || fail "the window's icon is not the program's ($(echo "$icon" | head -3 | tr '\n' ' ')...)"
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
resized)
    # The window made smaller while it plays, as a window manager or a screen smaller than
    # the mode would: the whole picture at the new size, not the old one cut off.
    make_music 30
    start_program
    run_windowed
    window=$(presentation_window)
    shown=$(date +%s.%N)
    sleep 1
    xdotool windowsize "$window" 640 385 || fail "could not resize the window"
    sleep 1.5
    geometry=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
    [ "$geometry" = "640x385" ] || fail "the window is $geometry after the resize"
    import -window root -crop 640x385+0+0 +repage "$work/shown.png" || fail "screenshot"
    at=$(echo "$(date +%s.%N) - $shown" | bc)
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key Escape
    wait_for_end 10
    [ "$status" -eq 0 ] || fail "Escape ended with status $status"
    # When that frame was drawn is known only roughly (a frame can take seconds on a busy
    # machine): small frames every 0.2 s up to the screenshot find it, then the film's frames
    # there at the new size and at the old size cut to the window are compared with it.
    frames="$(dirname "$halvane")/../halvane-frames"
    times=()
    # Drawn after the resize, so not before 1 s.
    for fifth in $(seq 5 "$(echo "$at * 5 / 1" | bc)"); do times+=(--time "$(echo "$fifth / 5" | bc -l)"); done
    (cd "$work" && "$frames" --dir . --size 160x96 "${times[@]}" --out "$work/scan" >/dev/null 2>&1) ||
        fail "halvane-frames at 160x96"
    convert "$work/shown.png" -resize 160x96! "$work/small.png"
    best=9 when=0
    for frame in "$work"/scan/*.png; do
        error=$(rmse "$work/small.png" "$frame")
        if [ "$(echo "$error < $best" | bc -l)" -eq 1 ]; then
            best=$error
            when=$(basename "$frame" .png)
            when=${when#frame_}
        fi
    done
    times=()
    for step in -0.1 -0.05 0 0.05 0.1; do times+=(--time "$(echo "$when + $step" | bc -l)"); done
    (cd "$work" && "$frames" --dir . --size 640x385 "${times[@]}" --out "$work/real" >/dev/null 2>&1) ||
        fail "halvane-frames at 640x385"
    (cd "$work" && "$frames" --dir . --size 640x400 "${times[@]}" --out "$work/asked" >/dev/null 2>&1) ||
        fail "halvane-frames at 640x400"
    best_real=9 best_cut=9
    for frame in "$work"/real/*.png; do
        convert "$work/asked/$(basename "$frame")" -crop 640x385+0+15 +repage "$work/cut.png"
        real=$(rmse "$work/shown.png" "$frame")
        cut=$(rmse "$work/shown.png" "$work/cut.png")
        echo "at $(basename "$frame"): whole picture $real, cut-off picture $cut"
        best_real=$(echo "if ($real < $best_real) $real else $best_real" | bc -l)
        best_cut=$(echo "if ($cut < $best_cut) $cut else $best_cut" | bc -l)
    done
    [ "$(echo "$best_real < 0.02 && $best_real * 2 < $best_cut" | bc -l)" -eq 1 ] ||
        fail "the window does not show the whole picture at 640x385 (RMSE $best_real, cut off $best_cut)"
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
