#!/usr/bin/env bash
# Regenerates the desktop icons of the Linux packages (packaging/linux/icons/NxN.png) from
# the Windows program's icon, source/platform/win32/halvane.ico, one PNG per size it holds,
# so both platforms show the same picture. Commit what changes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" icoutils > /dev/null
ico="$root/source/platform/win32/halvane.ico"
out="$root/packaging/linux/icons"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -f "$out"/*.png
mkdir -p "$out"
icotool --extract --output="$work" "$ico"
for png in "$work"/*.png; do
  # icotool names them NAME_INDEX_WxHxDEPTH.png
  size=$(basename "$png" .png | sed 's/.*_\([0-9]*x[0-9]*\)x[0-9]*$/\1/')
  cp "$png" "$out/$size.png"
done
ls "$out"
