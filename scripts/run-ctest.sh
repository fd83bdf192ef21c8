#!/usr/bin/env bash
# Runs the build's tests (in the current directory) side by side, with the given extra
# ctest arguments. A test that fails runs once more: the tests that drive the program
# through an X server and xdotool, and everything under Wine, now and then lose a race
# that is not ours (a display that does not answer, a process Wine fails to start). A
# fault of ours fails both runs and fails this script. Every test that failed a run is
# named at the end; its output is in the log above.
set -uo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT
ctest --output-on-failure -j"$(nproc)" --repeat until-pass:2 "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
failed=$(grep -oE 'Test +#[0-9]+: [^ ]+ \.+[^*]*\*\*\*(Failed|Exception|Timeout)' "$log" |
    grep -oE '#[0-9]+: [^ ]+' | sort -u)
if [ -n "$failed" ]; then
    echo "Failed a run (and ran once more):"
    echo "$failed" | sed 's/^/  /'
fi
exit "$status"
