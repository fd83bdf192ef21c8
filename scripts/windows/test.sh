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
root=$PWD
cd "$dir"
# Wine now and then fails to start a process: a death test's parent then dies in
# CreateProcess, or a test ends before its main. run-ctest.sh runs such a test once
# more. GoogleTest holds a death test's stderr in a temporary file ("gte*.tmp") and
# removes it once read; a parent that dies meanwhile says why only there, so what such
# files hold after the run is printed.
captures=$WINEPREFIX/drive_c/users
find "$captures" -maxdepth 3 -name 'gte*.tmp' -delete 2> /dev/null || true
status=0
xvfb-run -a -s "-screen 0 640x400x24" bash "$root/scripts/run-ctest.sh" --timeout 600 || status=$?
find "$captures" -maxdepth 3 -name 'gte*.tmp' 2> /dev/null | while read -r left; do
    echo "A test process ended while GoogleTest held its stderr in $(basename "$left"):"
    sed 's/^/  /' "$left"
    echo
    rm -f "$left"
done
[ "$status" -eq 0 ] || exit "$status"
echo "Windows tests under Wine: $((SECONDS - tests)) s"
