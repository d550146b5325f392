#!/bin/sh
# Draws the proof skin's images (PNG with alpha) with ImageMagick; the results
# are checked in, so this runs only when an image is to change.
set -eu
cd "$(dirname "$0")/skin"
im=/usr/bin/convert
# Logo: a blue ring on a transparent ground, anti-aliased at its edges.
$im -size 20x20 xc:none -fill '#2563EB' -draw 'circle 9.5,9.5 9.5,0.5' \
    -fill none -stroke white -strokewidth 2 -draw 'circle 9.5,9.5 9.5,4.5' -strip PNG32:logo.png
# System buttons, one 28x20 cell each: minimise, maximise, restore, close.
$im -size 112x20 xc:none -fill none -stroke '#E2E8F0' -strokewidth 1.5 \
    -draw 'line 9,13.5 19,13.5' \
    -draw 'rectangle 37.5,5.5 46.5,14.5' \
    -draw 'rectangle 64.5,7.5 72.5,15.5' -draw 'polyline 67.5,7.5 67.5,4.5 75.5,4.5 75.5,12.5 72.5,12.5' \
    -draw 'line 93,5 102,14' -draw 'line 102,5 93,14' -strip PNG32:sysbtn.png
# Scroll bar thumb: a half-transparent rounded bar, drawn as a nine-grid.
$im -size 8x24 xc:none -fill '#64748BB0' -draw 'roundrectangle 0,0 7,23 3.5,3.5' -strip PNG32:thumb.png
