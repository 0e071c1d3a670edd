#!/bin/sh
# SPDX-License-Identifier: MIT
# Renders every image of the icon from its one source, io.github.vandrel.Vandrel.svg:
#   - the three images the program carries: 32x32 in two colours, 32x32 and 16x16 in 16
#     colours (vandrel-32-mono.png, vandrel-32.png, vandrel-16.png);
#   - the desktop's icons, full colour, at every size the hicolor theme is given, and the web
#     page's at 192 and 512 (icon-N.png).
# Run it from this folder after changing the picture (needs rsvg-convert from librsvg2-bin and
# ImageMagick); the results are committed.
set -e
source=io.github.vandrel.Vandrel.svg

for size in 16 32 48 64 128 192 256 512; do
    rsvg-convert -w "$size" -h "$size" -o "icon-$size.png" "$source"
done
# -strip: no time stamps, so the same picture always gives the same bytes.
convert icon-16.png -strip -colors 16 PNG8:vandrel-16.png
convert icon-32.png -strip -colors 16 PNG8:vandrel-32.png
# Two colours: what is lit turns white, the rest black.
convert icon-32.png -strip -background black -flatten -colorspace gray -threshold 45% \
    -type bilevel PNG8:vandrel-32-mono.png
for size in 16 32 48 64 128 192 256 512; do
    convert "icon-$size.png" -strip "PNG32:icon-$size.png"
done
