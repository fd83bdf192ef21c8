#!/usr/bin/env bash
# Builds the release into dist/: the Debian package (halvane_VERSION_amd64.deb), the
# portable Linux archive (halvane-VERSION-linux-x86_64.tar.gz), the Windows zip
# (halvane-VERSION-win64.zip) and SHA256SUMS. Installs what it needs (scripts/setup.sh,
# scripts/windows/setup.sh), builds the film alone into build-release/ with Debian's
# hardening flags, checks the .deb with lintian (no errors allowed) and its menu entry
# with desktop-file-validate. A tree with changes not committed gets a -dirty version,
# so such a package never passes for the release.
# Usage: scripts/release.sh [--no-windows]
set -euo pipefail
cd "$(dirname "$0")/.."
windows=1
[ "${1:-}" = "--no-windows" ] && windows=0

# CPack reads dpkg-shlibdeps (dpkg-dev) and file; lintian and desktop-file-validate check.
bash scripts/setup.sh dpkg-dev file lintian desktop-file-utils
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
  echo "release: the tree has changes not committed; the packages will say -dirty" >&2
fi

echo "== Linux build =="
# Debian's flags for packages (stack protector, fortified functions, full RELRO, bind now);
# CMake does not read CPPFLAGS, so they join the compilers' flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
CFLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
  bash scripts/build.sh build-release -DHV_BUILD_TESTS=OFF -DHV_BUILD_BENCHMARKS=OFF
rm -rf build-release/packages
(cd build-release && cpack -G "DEB;TGZ" > cpack.log 2>&1) || { cat build-release/cpack.log; exit 1; }

rm -rf dist
mkdir -p dist
cp build-release/packages/halvane_*_amd64.deb build-release/packages/halvane-*-linux-x86_64.tar.gz dist/
deb=$(ls dist/halvane_*_amd64.deb)
desktop-file-validate packaging/linux/halvane.desktop
echo "== lintian $(basename "$deb") =="
lintian --display-info "$deb" 2>&1 | grep -v 'running with root privileges' | tee dist/lintian.txt || true
if grep -q '^E:' dist/lintian.txt; then
  echo "release: lintian found errors in $deb" >&2
  exit 1
fi
rm dist/lintian.txt

if [ $windows -eq 1 ]; then
  echo "== Windows build =="
  bash scripts/windows/build.sh build-win64
  cp build-win64/halvane-*-win64.zip dist/
fi

(cd dist && sha256sum -- * > SHA256SUMS)
echo "== dist/ =="
ls -l dist
