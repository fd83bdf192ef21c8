#!/usr/bin/env bash
# Builds the Windows package (build.sh) and runs the Windows build's tests under
# wine64 on a virtual X server: the platform-independent unit tests, the standalone
# check of halvane.exe, and the program driven through its dialog and window.
# Prints the time each part took.
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${1:-build-win64}
start=$SECONDS
bash scripts/windows/build.sh "$dir"
echo "Windows build (setup, dependencies, program, package): $((SECONDS - start)) s"
# Wine makes its prefix on first use: once here, before tests run side by side. Its
# wineserver must be gone before the tests start: one started without a display
# would keep every later window of that prefix off the virtual X server.
export WINEPREFIX=${WINEPREFIX:-${HV_WIN64_CACHE:-$HOME/.cache/halvane/win64}/wineprefix}
scripts/windows/wine.sh wineboot --init > /dev/null 2>&1 || true
/usr/lib/wine/wineserver -w 2> /dev/null || true
tests=$SECONDS
cd "$dir"
# A test that fails is run once more. Wine's process emulation, rarely (in about one
# whole run of ten), ends a test's process early with no message of the test's own:
# a parent mid death test, or a process before main. A fault of ours fails twice.
# Every test that failed a run is named at the end, its output is above.
log=$(mktemp)
status=0
xvfb-run -a -s "-screen 0 640x400x24" \
    ctest --output-on-failure -j"$(nproc)" --timeout 600 --repeat until-pass:2 2>&1 | tee "$log" ||
    status=$?
retried=$(grep -oE 'Test +#[0-9]+: [^ ]+ \.+\*\*\*(Failed|Exception|Timeout)' "$log" |
    grep -oE '#[0-9]+: [^ ]+' | sort -u || true)
if [ -n "$retried" ]; then
    echo "Failed a run under Wine (run once more):"
    echo "$retried" | sed 's/^/  /'
fi
rm -f "$log"
[ "$status" -eq 0 ] || exit "$status"
echo "Windows tests under Wine: $((SECONDS - tests)) s"
