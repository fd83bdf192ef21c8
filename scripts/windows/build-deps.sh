#!/usr/bin/env bash
# Cross-builds the Windows build's dependencies from Debian's source packages into a
# prefix keyed by their versions, and prints the prefix. A prefix that is complete
# is reused as it is.
#
#   libpng, GLEW, libmpg123, Assimp (COLLADA import only) and minizip (Assimp's
#   archive reader, from zlib's source); zlib itself comes from libz-mingw-w64-dev,
#   glm's headers are used as Debian installs them. Only static libraries are
#   built, no tools, no tests.
#
# Environment: HV_WIN64_CACHE (default ~/.cache/halvane/win64) holds the sources and
# the prefixes; HV_JOBS (default 2) the parallel compile jobs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
cache=${HV_WIN64_CACHE:-$HOME/.cache/halvane/win64}
jobs=${HV_JOBS:-2}
triplet=x86_64-w64-mingw32
toolchain=$repo/cmake/toolchains/mingw-w64.cmake
mkdir -p "$cache"

declare -A version dir
while read -r name ver path; do
  version[$name]=$ver
  dir[$name]=$path
done < <(bash "$here/fetch-sources.sh" "$cache/sources")

# The key covers what decides the result: the source versions, googletest's version,
# the compiler and the recipe below (raise recipe when a step changes what it builds).
recipe=2
key_text="$(for n in $(printf '%s\n' "${!version[@]}" | sort); do echo "$n ${version[$n]}"; done)
googletest $(dpkg-query -W -f='${Version}' googletest)
$($triplet-g++-posix --version | head -n1)
recipe $recipe"
key=$(printf '%s' "$key_text" | sha256sum | cut -c1-16)
prefix=$cache/deps-$key
if [ -f "$prefix/.complete" ]; then
  echo "Windows dependencies: reusing $prefix" >&2
  echo "$prefix"
  exit 0
fi

# Two builds at once would share one work folder and remove each other's sources:
# the second waits for the first, then reuses what it built.
mkdir -p "$cache"
exec 9> "$cache/.build-deps.lock"
if ! flock -n 9; then
  echo "Windows dependencies: another build is running; waiting for it" >&2
  flock 9
fi
if [ -f "$prefix/.complete" ]; then
  echo "Windows dependencies: reusing $prefix" >&2
  echo "$prefix"
  exit 0
fi

# Steps already done in this prefix (an interrupted build) are not repeated.
work=$cache/work
mkdir -p "$prefix/include" "$prefix/lib/pkgconfig" "$work"
log=$work/build.log
: > "$log"
echo "Windows dependencies: building into $prefix (log $log)" >&2

launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cross_cmake() {
  local src=$1 build=$2
  shift 2
  rm -rf "$build"
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DHV_WIN64_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    "${launcher[@]}" "$@" >> "$log" 2>&1
}
# step NAME: true when NAME still has to be built (and says so).
step() {
  [ -f "$prefix/.done-$1" ] && return 1
  echo "  $1 ($(date +%T))" >&2
  return 0
}
done_step() {
  touch "$prefix/.done-$1"
}
fail() {
  echo "Building the Windows dependencies failed at: $1. Last lines of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
}
trap 'fail "$BASH_COMMAND"' ERR

# Header-only libraries Debian installs for the build machine, offered to the cross
# compiler without exposing the rest of /usr/include.
hostinc=$work/host-include
rm -rf "$hostinc"
mkdir -p "$hostinc"
ln -s /usr/include/stb "$hostinc/stb"
ln -s /usr/include/utf8cpp/utf8.h "$hostinc/utf8.h"
ln -s /usr/include/utf8cpp/utf8 "$hostinc/utf8"

if step minizip; then
mz=${dir[zlib]}/contrib/minizip
mkdir -p "$work/minizip" "$prefix/include/minizip"
for f in unzip ioapi; do
  $triplet-gcc-posix -O2 -DNOCRYPT -DIOAPI_NO_64 -I/usr/$triplet/include -c "$mz/$f.c" -o "$work/minizip/$f.o" >> "$log" 2>&1
done
$triplet-ar rcs "$prefix/lib/libminizip.a" "$work/minizip"/*.o
cp "$mz"/{unzip.h,ioapi.h,crypt.h} "$prefix/include/minizip/"
cat > "$prefix/lib/pkgconfig/minizip.pc" <<PC
prefix=$prefix
Name: minizip
Description: zip archive reader from zlib's contrib
Version: ${version[zlib]}
Libs: -L\${prefix}/lib -lminizip -lz
Cflags: -I\${prefix}/include/minizip
PC
done_step minizip
fi

if step libpng; then
cross_cmake "${dir[libpng1.6]}" "$work/libpng" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -Dld-version-script=OFF -DZLIB_LIBRARY=/usr/$triplet/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/$triplet/include
cmake --build "$work/libpng" -j"$jobs" >> "$log" 2>&1
cmake --install "$work/libpng" >> "$log" 2>&1
done_step libpng
fi

if step glew; then
# One generated source file; built static, without GLU, as GLEW_STATIC users expect.
mkdir -p "$work/glew" "$prefix/include/GL"
$triplet-gcc-posix -O2 -DGLEW_STATIC -DGLEW_NO_GLU -I"${dir[glew]}/include" -c "${dir[glew]}/src/glew.c" \
  -o "$work/glew/glew.o" >> "$log" 2>&1
# Named as CMake's FindGLEW looks for a static GLEW on Windows.
$triplet-ar rcs "$prefix/lib/glew32s.lib" "$work/glew/glew.o"
cp "${dir[glew]}/include/GL/glew.h" "${dir[glew]}/include/GL/wglew.h" "$prefix/include/GL/"
done_step glew
fi

if step mpg123; then
cross_cmake "${dir[mpg123]}/ports/cmake" "$work/mpg123" -DBUILD_PROGRAMS=OFF -DBUILD_LIBOUT123=OFF
cmake --build "$work/mpg123" -j"$jobs" >> "$log" 2>&1
cmake --install "$work/mpg123" >> "$log" 2>&1
done_step mpg123
fi

# Without NDEBUG, as Debian builds it: the importer's internal checks stay on, and
# the program turns a failed one into an unreadable file.
if step assimp; then
asrc=$work/assimp-src
rm -rf "$asrc"
cp -a "${dir[assimp]}" "$asrc"
# Debian links its own libdraco; the glTF importer that needs it is not built here.
(cd "$asrc" && patch -R -p1 -s < debian/patches/use-system-libdraco.patch) >> "$log" 2>&1
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig:/usr/$triplet/lib/pkgconfig
export PKG_CONFIG_PATH=
cross_cmake "$asrc" "$work/assimp" -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF \
  -DASSIMP_BUILD_SAMPLES=OFF -DASSIMP_BUILD_DOCS=OFF -DASSIMP_NO_EXPORT=ON \
  -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF \
  -DASSIMP_BUILD_COLLADA_IMPORTER=ON -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_DRACO=OFF \
  -DASSIMP_WARNINGS_AS_ERRORS=OFF -DASSIMP_INJECT_DEBUG_POSTFIX=OFF -DASSIMP_IGNORE_GIT_HASH=ON \
  -DZLIB_LIBRARY=/usr/$triplet/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$triplet/include \
  -DCMAKE_CXX_FLAGS="-I$hostinc" -DCMAKE_C_FLAGS="-I$hostinc" \
  -DCMAKE_CXX_FLAGS_RELEASE=-O2 -DCMAKE_C_FLAGS_RELEASE=-O2
cmake --build "$work/assimp" -j"$jobs" >> "$log" 2>&1
cmake --install "$work/assimp" >> "$log" 2>&1
done_step assimp
fi

# GoogleTest for the cross-built unit tests, from Debian's googletest sources.
if step googletest; then
cross_cmake /usr/src/googletest "$work/googletest" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF
cmake --build "$work/googletest" -j"$jobs" >> "$log" 2>&1
cmake --install "$work/googletest" >> "$log" 2>&1
done_step googletest
fi

# glm is header-only: its headers and CMake package as Debian installs them.
if step glm; then
mkdir -p "$prefix/share/cmake"
ln -sfn /usr/include/glm "$prefix/include/glm"
ln -sfn /usr/share/cmake/glm "$prefix/share/cmake/glm"
done_step glm
fi

printf '%s\n' "$key_text" > "$prefix/versions.txt"
touch "$prefix/.complete"
trap - ERR
rm -rf "$work"/*/
echo "Windows dependencies: done" >&2
echo "$prefix"
