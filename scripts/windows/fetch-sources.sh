#!/usr/bin/env bash
# Fetches Debian's source packages that the Windows build cross-compiles, into $1
# (default build-win64/sources), and unpacks each with its Debian patches applied.
#
# Uses a private APT configuration (its own source list and package lists) so the
# machine's APT setup stays as it is. Only Debian's own archive is asked. Prints
# one line per package: NAME VERSION DIRECTORY.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(mkdir -p "${1:-$here/../../build-win64/sources}" && cd "${1:-$here/../../build-win64/sources}" && pwd)
# Source package name and the release to take it from: the security pool may lack
# the newest revision, so the release's own one is asked for.
packages=(assimp glew libpng1.6 mpg123 zlib)

apt_dir=$out/.apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types: .*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$apt_dir/sources.list.d/debian.sources"
else
  # A classic one-line source list: turn its deb lines into deb-src lines.
  grep -hE '^deb ' /etc/apt/sources.list 2>/dev/null | sed 's/^deb /deb-src /' > "$apt_dir/sources.list.d/debian.list"
fi
cat > "$apt_dir/apt.conf" <<CONF
Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "$apt_dir/sources.list.d";
Dir::State::Lists "$apt_dir/lists";
Dir::Cache "$apt_dir/cache";
CONF
export APT_CONFIG=$apt_dir/apt.conf

if [ -z "$(ls "$apt_dir/lists" | grep -i sources || true)" ]; then
  echo "Reading Debian's source package lists (private APT configuration)" >&2
  apt-get update -qq -o APT::Sandbox::User=root >&2
fi

cd "$out"
for name in "${packages[@]}"; do
  if ! ls -d "$out/$name".src 2>/dev/null >/dev/null; then
    mkdir -p "$out/download/$name"
    echo "Fetching the source of $name" >&2
    # A missing .asc signature makes apt-get fail although the tarballs arrived:
    # success is judged by the .dsc being there.
    (cd "$out/download/$name" && apt-get source --download-only -qq -o APT::Sandbox::User=root "$name/bookworm" > "$out/$name.fetch.log" 2>&1) || true
    dsc=$(ls "$out/download/$name"/*.dsc 2>/dev/null | head -n1 || true)
    if [ -z "$dsc" ]; then
      echo "Could not fetch the Debian source package $name" >&2
      exit 1
    fi
    rm -rf "$out/$name.tmp"
    dpkg-source --no-check -x "$dsc" "$out/$name.tmp" > "$out/$name.unpack.log" 2>&1
    mv "$out/$name.tmp" "$out/$name.src"
  fi
  version=$(cd "$out/$name.src" && dpkg-parsechangelog -S Version)
  echo "$name $version $out/$name.src"
done
