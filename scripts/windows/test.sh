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
xvfb-run -a -s "-screen 0 640x400x24" ctest --output-on-failure -j"$(nproc)" --timeout 600
echo "Windows tests under Wine: $((SECONDS - tests)) s"
