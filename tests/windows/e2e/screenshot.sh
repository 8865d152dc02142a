#!/usr/bin/env bash
# Photographs Form1 under Wine with Chinese file names in its list:
#   screenshot.sh <driver.exe> <output folder>
# Leaves foliomix-window.png in the output folder for a person to look at.
set -euo pipefail
driver=$1
out=$2
mkdir -p "$out"
rm -f "$out/foliomix-window.bmp" "$out/foliomix-window.png"
wine "$driver" screenshot --out "$(winepath -w "$out")"
convert "$out/foliomix-window.bmp" "$out/foliomix-window.png"
rm -f "$out/foliomix-window.bmp"
echo "screenshot: $out/foliomix-window.png"
