#!/usr/bin/env bash
# Packs the Debian package and the portable archive from a finished build (build/ or $1)
# and checks them as a viewer would use them: the .deb installed with apt-get, the film
# played from a scratch directory on a virtual X server (setup dialog, film, Escape,
# status 0), `halvane --version`, every installed path under /usr, and after
# `apt-get remove --purge` nothing left behind; the archive unpacked elsewhere renders
# a frame with no --dir. Installs and removes the package system-wide: for CI and
# release checks on a machine of our own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

if [ -n "${HV_INSIDE_XVFB:-}" ]; then
  # The installed film from an empty working directory: only ../share/halvane from
  # /usr/bin/halvane holds its files.
  scenario=installed
  halvane=$(command -v halvane)
  . "$root/tests/support/drive_program.sh"
  start_program
  dialog_keys Tab Tab Tab space Return       # windowed, then Run
  window=$(wait_for_window Vostrel 60) || fail "no window named Vostrel"
  sleep 2
  kill -0 "$pid" 2>/dev/null || fail "the film ended by itself"
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key Escape
  wait_for_end 20
  [ "$status" -eq 0 ] || fail "Escape ended the installed film with status $status"
  echo "the installed film played from $work and ended with status 0"
  exit 0
fi

fail() { echo "check-package: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

bash "$root/scripts/setup.sh" dpkg-dev file    # CPack's dpkg-shlibdeps and file
echo "== Packing =="
# Brought up to date first: CPack reads its settings and the version before its own build.
cmake --build "$build" -j"$(nproc)" > "$build/package-build.log" 2>&1 || { tail -20 "$build/package-build.log"; fail "the build failed"; }
rm -rf "$build/packages"
(cd "$build" && cpack -G "DEB;TGZ" > "$build/cpack.log" 2>&1) || { cat "$build/cpack.log"; fail "cpack failed"; }
version=$(head -n1 "$build/version/version.txt")
deb=$(ls "$build"/packages/halvane_*_amd64.deb)
archive=$(ls "$build"/packages/halvane-*-linux-x86_64.tar.gz)
[ "$(basename "$archive")" = "halvane-$version-linux-x86_64.tar.gz" ] || fail "$archive does not carry $version"
echo "$deb"; echo "$archive"

echo "== Installing the package =="
dpkg-query -W halvane > /dev/null 2>&1 && $SUDO apt-get remove --purge -y -qq halvane > /dev/null
$SUDO apt-get install -y -qq --no-install-recommends "$deb" > "$build/apt-install.log" 2>&1 \
  || { cat "$build/apt-install.log"; fail "apt-get install $deb failed"; }
installed=$(dpkg-query -L halvane)
outside=$(echo "$installed" | grep -v -e '^/\.$' -e '^/usr$' -e '^/usr/' || true)
[ -z "$outside" ] || fail "installed outside /usr: $outside"
printed=$(cd / && halvane --version) || fail "halvane --version failed"
echo "$printed" | grep -qF "$version" || fail "halvane --version says '$printed', the build is $version"
echo "halvane --version: $printed"
HV_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 640x400x24" bash "$0" "$build"

echo "== Removing the package =="
$SUDO apt-get remove --purge -y -qq halvane > /dev/null
! dpkg-query -W halvane > /dev/null 2>&1 || [ "$(dpkg-query -W -f='${Status}' halvane)" = "not-installed" ] \
  || fail "halvane is still known to dpkg after the purge"
left=""
while read -r path; do
  [ -e "$path" ] && [ ! -d "$path" ] && left+=" $path"
done <<< "$installed"
for dir in /usr/share/halvane /usr/share/doc/halvane; do [ -e "$dir" ] && left+=" $dir"; done
[ -z "$left" ] || fail "left behind after the purge:$left"
echo "nothing of the package is left"

echo "== The portable archive =="
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
tar -xzf "$archive" -C "$unpacked"
folder="$unpacked/halvane-$version-linux-x86_64"
"$folder/bin/halvane" --version | grep -qF "$version" || fail "the archive's halvane does not print $version"
(cd / && "$folder/bin/halvane-frames" --size 160x100 --time 30 --out "$unpacked/frames" > /dev/null 2>&1) \
  || fail "the archive's halvane-frames did not render from /"
ls "$unpacked"/frames/*.png > /dev/null 2>&1 || fail "the archive's halvane-frames wrote no frame"
echo "the archive runs from where it is unpacked"
