#!/usr/bin/env bash
# Draws the installer's window icon, a wrist-worn organiser on its strap, in the two sizes
# Windows shows (32 x 32 and 16 x 16), into vokuta.ico beside this script. Needs ImageMagick.
# The .ico is committed; run this only to change the drawing.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

strap='#3a3f4a' case_fill='#9aa4b2' edge='#2b2f36' screen='#b8e0a8' screen_edge='#556b4f'
ink='#2e4a2a'

convert -size 32x32 xc:none \
  -fill "$strap" -stroke none -draw 'rectangle 11,0 20,31' \
  -fill "$case_fill" -stroke "$edge" -draw 'roundrectangle 5,5 26,26 4,4' \
  -fill "$screen" -stroke "$screen_edge" -draw 'rectangle 9,9 22,22' \
  -fill "$ink" -stroke none -draw 'rectangle 11,12 20,13' -draw 'rectangle 11,16 17,17' \
  -draw 'rectangle 11,19 19,19' \
  -fill "$edge" -draw 'rectangle 27,13 28,18' \
  "PNG32:$tmp/32.png"

convert -size 16x16 xc:none \
  -fill "$strap" -stroke none -draw 'rectangle 5,0 10,15' \
  -fill "$case_fill" -stroke "$edge" -draw 'roundrectangle 2,2 13,13 2,2' \
  -fill "$screen" -stroke none -draw 'rectangle 4,4 11,11' \
  -fill "$ink" -draw 'rectangle 5,6 10,6' -draw 'rectangle 5,9 8,9' \
  -fill "$edge" -draw 'rectangle 14,6 14,9' \
  "PNG32:$tmp/16.png"

convert "$tmp/32.png" "$tmp/16.png" vokuta.ico
