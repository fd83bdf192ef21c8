#!/usr/bin/env bash
# The version the build writes (cmake/WriteVersion.cmake) for each state of a source tree:
# no git, a clean commit, changes to a tracked file, a new file, the next commit, and a
# tree inside a repository that is not its own; and a run that changes nothing rewrites
# nothing, so nothing is rebuilt.
#
# usage: test_version_script.sh CMAKE WRITE_VERSION_SCRIPT
set -u
cmake=$1
script=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
git() { command git -C "$scratch/tree" -c user.name=t -c user.email=t@example.org "$@" >/dev/null 2>&1; }

# The version the script writes for the tree, from version.txt; checks the header says the same.
version_of() {
    "$cmake" -DBASE=2.3.4 -DSOURCE_DIR="$1" -DOUTPUT_DIR="$scratch/out" -P "$script" || return 1
    local version
    version=$(cat "$scratch/out/version.txt")
    grep -qx "#define HV_VERSION_STRING \"$version\"" "$scratch/out/HalvaneVersion.h" || echo "header differs"
    echo "$version"
}

expect() {
    local got
    got=$(version_of "$scratch/tree")
    [ "$got" = "$2" ] || { echo "FAIL ($1): the version is '$got', expected '$2'"; failures=$((failures + 1)); }
}

mkdir -p "$scratch/tree" "$scratch/out"
echo one >"$scratch/tree/file"
expect "no git" "2.3.4+unknown"
grep -qx "#define HV_VERSION_NUMBERS 2,3,4,0" "$scratch/out/HalvaneVersion.h" ||
    { echo "FAIL: the header's numbers are not 2,3,4,0"; failures=$((failures + 1)); }

git init -q && git add file && git commit -qm one
first=$(command git -C "$scratch/tree" rev-parse --short=7 HEAD)
expect "a clean commit" "2.3.4+g$first"
before=$(stat -c %Y.%i "$scratch/out/HalvaneVersion.h")
sleep 1.1
expect "the same commit again" "2.3.4+g$first"
[ "$(stat -c %Y.%i "$scratch/out/HalvaneVersion.h")" = "$before" ] ||
    { echo "FAIL: an unchanged version rewrote the header"; failures=$((failures + 1)); }

echo two >"$scratch/tree/file"
expect "a changed tracked file" "2.3.4+g$first-dirty"
git checkout file && echo new >"$scratch/tree/new"
expect "a new file" "2.3.4+g$first-dirty"
git add new && git commit -qm two
second=$(command git -C "$scratch/tree" rev-parse --short=7 HEAD)
expect "the next commit" "2.3.4+g$second"

mkdir "$scratch/tree/inner"
got=$(version_of "$scratch/tree/inner")
[ "$got" = "2.3.4+unknown" ] ||
    { echo "FAIL (inside another repository): the version is '$got'"; failures=$((failures + 1)); }
echo "$failures failed"
[ $failures -eq 0 ]
