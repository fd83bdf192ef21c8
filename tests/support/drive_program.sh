# Sourced by the scripts that drive a program on an X server: a scratch directory
# removed at exit with the program still running killed, the failure report, and
# the waits for the program's windows, message box and end.
#
# The sourcing script sets `scenario` (named in failures) and, to use start_program,
# `halvane` (the program). A script with more to undo at exit (its own X server)
# defines before_cleanup; one that reports failures otherwise redefines fail.
work=$(mktemp -d)
pid=0
cleanup() {
    [ "$pid" -ne 0 ] && kill -KILL "$pid" 2>/dev/null
    declare -F before_cleanup >/dev/null && before_cleanup
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($scenario): $*"
    echo "--- program stderr:"; grep -v '^ALSA lib' "$work/err" 2>/dev/null | tail -20
    exit 1
}

# The film's content, borrowed from the run directory $1 into the work directory.
borrow_film_content() {
    mkdir -p "$work/data"
    ln -s "$1/shaders" "$work/shaders"
    ln -s "$1/data/Collada2" "$work/data/Collada2"
    ln -s "$1/data/credits.png" "$work/data/credits.png"
    for track in "$1"/sync_*.track; do ln -s "$track" "$work/"; done
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

# A stereo MP3 of $1 seconds in ./data/music.mp3 in place of the film's.
make_music() {
    sox -n -r 44100 -c 2 -b 16 "$work/t.wav" synth "$1" sine 440 sine 660 gain -6 || fail "sox"
    lame --quiet -b 128 --cbr "$work/t.wav" "$work/data/music.mp3" || fail "lame"
    rm -f "$work/t.wav"
}

# A display that does not answer is the test machine's fault, not the program's: it
# gets a few seconds, then the failure says so.
wait_for_display() {
    local deadline=$((SECONDS + 10))
    until xdpyinfo >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && fail "the X server at $DISPLAY does not answer"
        sleep 0.2
    done
}

start_program() {
    [ -n "${DISPLAY:-}" ] && wait_for_display
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

# Sends the keys to the setup dialog once it shows.
dialog_keys() {
    local dialog
    dialog=$(wait_for_window Halvane 20) || fail "no dialog titled Halvane"
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool key "$@"
}

# Answers the failure message box with Return.
dismiss_message_box() {
    # SDL's message box carries its title where xwininfo, not xdotool's search, sees it.
    local box="" deadline=$((SECONDS + 30))
    while [ -z "$box" ] && [ $SECONDS -lt $deadline ] && kill -0 "$pid" 2>/dev/null; do
        box=$(xwininfo -root -tree 2>/dev/null | awk '/"Oh my god! No Wayyyy!"/ {print $1; exit}')
        sleep 0.1
    done
    [ -n "$box" ] || fail "no message box"
    sleep 0.3
    xdotool key --window "$box" Return
}
