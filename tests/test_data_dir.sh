#!/usr/bin/env bash
# Where the programs find the film's files when they are not told: the working directory,
# then beside the executable, then ../share/halvane from it, the first that holds data/
# and shaders/; and, when none does, a message naming each place with status 1 (halvane
# without a display too). The programs are linked into bin/ of a scratch prefix.
#
# usage: test_data_dir.sh HALVANE HALVANE_FRAMES HALVANE_CAPTURE RUNDIR
set -u
rundir=$(cd "$4" && pwd -P)
scenario=data-dir
. "$(dirname "$0")/support/drive_program.sh"

prefix=$work/prefix
mkdir -p "$prefix/bin" "$prefix/share" "$work/cwd"
for program in "$1" "$2" "$3"; do
    ln "$program" "$prefix/bin/" 2>/dev/null || cp "$program" "$prefix/bin/" || fail "cannot copy $program"
done
prefix=$(cd "$prefix" && pwd -P)
cwd=$(cd "$work/cwd" && pwd -P)

# The film's files, linked from the run directory into $1.
lay_film() {
    mkdir -p "$1"
    ln -s "$rundir/data" "$1/data"
    ln -s "$rundir/shaders" "$1/shaders"
    for track in "$rundir"/sync_*.track; do ln -s "$track" "$1/"; done
}

# Runs bin/$1 with the rest as arguments from the scratch working directory; sets status,
# and the output in $work/out and $work/err.
run() {
    local program=$1
    shift
    (cd "$cwd" && exec env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$program" "$@") >"$work/out" 2>"$work/err"
    status=$?
}

expect_found() {
    run halvane --print-data-dir
    [ "$status" -eq 0 ] || fail "$1: --print-data-dir ended with status $status"
    [ "$(cat "$work/out")" = "$2" ] || fail "$1: the files were taken from '$(cat "$work/out")', not $2"
}

lay_film "$cwd"
lay_film "$prefix/bin"
lay_film "$prefix/share/halvane"
expect_found "all three hold the film" "$cwd"
rm -r "$cwd"/* && mkdir "$cwd/shaders"
expect_found "the working directory holds shaders/ alone" "$prefix/bin"
rm -r "$prefix/bin/data" "$prefix/bin/shaders"
expect_found "only ../share/halvane holds the film" "$prefix/share/halvane"

# The film drawn from there, started elsewhere.
run halvane-frames --size 64x40 --time 1 --out "$work/frames"
[ "$status" -eq 0 ] || fail "halvane-frames from ../share/halvane ended with status $status"
[ -s "$work/frames/frame_0001.000.png" ] || fail "halvane-frames wrote no frame"

rm -r "$prefix/share/halvane"
places="$cwd $prefix/bin $prefix/share/halvane"
for command in "halvane" "halvane --print-data-dir" "halvane-frames --time 0 --out $work/frames" \
               "halvane-capture --out $work/film.mp4"; do
    run $command
    [ "$status" -eq 1 ] || fail "$command without the film's files ended with status $status, expected 1"
    said=$(grep -A3 "cannot find the film's files" "$work/err" | sed -n '2,4s/^ *//p' | tr '\n' ' ')
    [ "$said" = "$places " ] || fail "$command named '$said' as the places, expected '$places'"
done
[ ! -e "$work/film.mp4" ] || fail "halvane-capture left a file without the film's files"
echo "PASS"
