#!/usr/bin/env bash
# Configures and builds into build/ (or the directory given as $1, with extra CMake arguments after it).
# HV_TARGETS (e.g. "halvane content") builds only those targets instead of everything.
# With ccache installed, compiles go through it: rebuilding beside another build tree is then cheap.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
targets=()
for target in ${HV_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
