#!/usr/bin/env bash
# Every program answers --help with its usage and --version with "NAME VERSION", both on
# standard output with status 0 and without a display; every one prints the same
# version, and that version is the release number CMake was configured with followed by
# the commit the source tree is at (cmake/VersionOf.cmake).
#
# usage: [EMULATOR=wine] test_program_options.sh RELEASE SOURCE_DIR NAME=PROGRAM...
# With EMULATOR set, each program runs through it (the Windows build under Wine).
set -u
release=$1
source_dir=$2
shift 2
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# What the version must look like, worked out here from git rather than by the build's script.
pattern="^${release//./\\.}\\+unknown\$"
top=$(git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null) &&
    [ "$(cd "$top" && pwd -P)" = "$(cd "$source_dir" && pwd -P)" ] &&
    commit=$(git -C "$source_dir" rev-parse --short=7 HEAD 2>/dev/null) &&
    pattern="^${release//./\\.}\\+g${commit}(-dirty)?\$"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Runs the program with the rest as arguments, without a display; its output, without the
# carriage returns of a Windows program, in $scratch/out and $scratch/err.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY ${EMULATOR:+"$EMULATOR"} "$@" >"$scratch/raw" 2>"$scratch/err" </dev/null
    local status=$?
    tr -d '\r' <"$scratch/raw" >"$scratch/out"
    return $status
}

seen=""
for entry in "$@"; do
    name=${entry%%=*}
    program=${entry#*=}
    run "$program" --help
    status=$?
    [ $status -eq 0 ] || fail "$name --help ended with status $status: $(head -2 "$scratch/err")"
    grep -q "^usage: $name" "$scratch/out" || fail "$name --help printed no usage on stdout: $(head -1 "$scratch/out")"

    run "$program" --version
    status=$?
    [ $status -eq 0 ] || fail "$name --version ended with status $status: $(head -2 "$scratch/err")"
    said=$(cat "$scratch/out")
    version=${said#"$name "}
    [ "$said" = "$name $version" ] && [ "$(wc -l <"$scratch/out")" -eq 1 ] ||
        fail "$name --version printed '$said', not one line '$name VERSION'"
    [[ "$version" =~ $pattern ]] || fail "$name is version '$version', expected one matching $pattern"
    [ -z "$seen" ] || [ "$version" = "$seen" ] || fail "$name is version '$version', the programs before it '$seen'"
    seen=$version
done
echo "$# programs, version $seen: $failures failed"
[ $failures -eq 0 ]
