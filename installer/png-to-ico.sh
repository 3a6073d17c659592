#!/bin/sh
# An icon file whose one image is a PNG picture (Windows reads such images
# since Vista), for the setup program and its uninstaller.
# Usage: png-to-ico.sh PICTURE.png ICON.ico (a square picture of up to 256 pixels)
set -eu
png="$1" ico="$2"
size=$(wc -c <"$png")
# The width, from the PNG header's big-endian width (its low byte; 0 means 256).
width=$(od -An -tu1 -j19 -N1 "$png" | tr -d ' ')
byte() { printf "\\$(printf '%03o' "$1")"; }
{
  byte 0; byte 0; byte 1; byte 0; byte 1; byte 0  # reserved, type 1 (icon), one image
  byte "$width"; byte "$width"; byte 0; byte 0    # width, height, no palette, reserved
  byte 1; byte 0; byte 32; byte 0                 # one plane, 32 bits a pixel
  for shift in 0 8 16 24; do byte $(((size >> shift) & 255)); done
  byte 22; byte 0; byte 0; byte 0                 # the image follows the 22-byte header
  cat "$png"
} >"$ico.tmp"
mv "$ico.tmp" "$ico"
