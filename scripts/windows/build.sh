#!/usr/bin/env bash
# Builds the Windows package: installs the cross tools (setup.sh), cross-builds the
# dependencies once (build-deps.sh), then the program and its tests into
# build-win64/ (or $1), and packs build-win64/halvane-VERSION-win64.zip: halvane.exe with
# data/, shaders/ and the compiled sync tracks, ready to unpack and run.
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${1:-build-win64}
bash scripts/windows/setup.sh
prefix=$(bash scripts/windows/build-deps.sh)
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
mkdir -p "$dir"
# Found libraries are cached by path: a new dependency prefix needs a fresh configure.
if [ -f "$dir/CMakeCache.txt" ] && ! grep -qx "HV_WIN64_PREFIX:[A-Z]*=$prefix" "$dir/CMakeCache.txt"; then
  rm -f "$dir/CMakeCache.txt"
fi
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64.cmake" -DHV_WIN64_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j"${HV_JOBS:-2}"
cmake --build "$dir" --target package_zip
echo "Windows package: $(ls "$dir"/halvane-*-win64.zip)"
