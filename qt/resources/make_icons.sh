#!/bin/sh
# Draws the window icon: a tiny lander over a strip of ground, in the three images the
# program carries (32x32 in two colours, 32x32 and 16x16 in 16 colours), and packs them
# into vandrel.ico. Run it from this folder after changing the picture; the results are
# committed.
set -e

lander32='stroke white stroke-width 2 fill none
  polyline 11,9 11,17 21,17 21,9 11,9
  polyline 11,9 16,4 21,9
  line 11,17 7,24
  line 21,17 25,24
  line 16,17 16,22'

# Two colours: white lines on black.
convert +antialias -size 32x32 xc:black -draw "$lander32" \
    -draw "stroke white stroke-width 1 line 0,29 31,29" \
    -monochrome -colors 2 PNG8:vandrel-32-mono.png

# Sixteen colours: grey ground, red flame, white hull.
convert +antialias -size 32x32 xc:none \
    -draw "stroke #808080 stroke-width 2 line 0,29 31,29" \
    -draw "stroke red stroke-width 3 line 16,19 16,27" \
    -draw "$lander32" \
    -colors 16 PNG8:vandrel-32.png

convert +antialias -size 16x16 xc:none \
    -draw "stroke #808080 stroke-width 1 line 0,15 15,15" \
    -draw "stroke red stroke-width 1 line 8,11 8,14" \
    -draw "stroke white stroke-width 1 fill none
           polyline 5,5 5,9 11,9 11,5 5,5
           polyline 5,5 8,2 11,5
           line 5,9 3,13
           line 11,9 13,13" \
    -colors 16 PNG8:vandrel-16.png

convert vandrel-32-mono.png vandrel-32.png vandrel-16.png vandrel.ico
