#!/bin/sh
# Draws the saver's own art with ImageMagick:
#   resources/mascot.png  32 x 32, a round singing microphone; its top-left
#                         pixel (magenta) is the colour left out when it is drawn
#   resources/banner.png  200 x 50, the title banner that spins at the top
# Run from anywhere; the files are committed, so this is only needed to change them.
set -eu
cd "$(dirname "$0")/.."
IM=${IM:-/usr/bin/convert}
KEY='#FF00FF'

# The sprite is drawn without antialiasing: a blended edge would mix in the
# key colour and leave a pink fringe around the cut-out.
"$IM" -size 32x32 "xc:$KEY" +antialias \
  -fill '#2A3042' -stroke '#2A3042' -draw 'polygon 12,23 20,23 18,30 14,30' \
  -fill '#474F66' -stroke none -draw 'rectangle 15,24 15,29' \
  -fill '#E0405A' -stroke '#8A1C30' -draw 'rectangle 9,20 23,23' \
  -fill '#FFD84A' -stroke none -draw 'rectangle 10,21 11,22' -draw 'rectangle 21,21 22,22' \
  -fill '#D8DEEA' -stroke '#3A4260' -draw 'circle 16,11 16,1' \
  -fill '#B4BED2' -stroke none -draw 'point 10,5 point 13,3 point 19,3 point 22,5 point 24,9 point 8,9' \
  -fill '#FFFFFF' -draw 'rectangle 11,4 13,5' \
  -fill '#1A1A28' -draw 'rectangle 11,9 13,12' -draw 'rectangle 19,9 21,12' \
  -fill '#FFFFFF' -draw 'point 12,9 point 20,9' \
  -fill '#FF90B0' -draw 'rectangle 8,13 10,14' -draw 'rectangle 22,13 24,14' \
  -fill '#A02040' -draw 'rectangle 14,14 18,16' \
  -fill '#FF7090' -draw 'rectangle 15,16 17,16' \
  -fill '#2A3042' -stroke '#2A3042' -draw 'line 8,21 4,17' -draw 'line 24,21 28,17' \
  -fill '#FFFFFF' -stroke '#3A4260' -draw 'rectangle 3,15 5,17' -draw 'rectangle 27,15 29,17' \
  -fill '#FFD84A' -stroke none -draw 'rectangle 28,2 29,3' -draw 'rectangle 30,0 30,3' \
  -fill '#FFD84A' -draw 'rectangle 1,27 2,28' -draw 'rectangle 3,24 3,28' \
  -type TrueColor -define png:color-type=2 resources/mascot.png

"$IM" -size 200x50 gradient:'#1C1A5A-#5A1450' \
  -fill '#FFFFFF' -stroke none \
  -draw 'point 6,6 point 190,8 point 14,40 point 184,42 point 100,3 point 40,46 point 160,46' \
  -fill '#FFD84A' -draw 'circle 8,22 8,25' -draw 'rectangle 10,12 11,22' \
  -draw 'circle 190,22 190,25' -draw 'rectangle 192,12 193,22' \
  -font Comic-Neue-Bold -pointsize 22 -gravity north \
  -fill '#E0308A' -stroke '#E0308A' -strokewidth 3 -annotate +0+2 'QUIB KARAOKE' \
  -fill '#FFE66A' -stroke none -annotate +0+2 'QUIB KARAOKE' \
  -font Liberation-Sans -pointsize 10 -fill '#B8C4FF' -annotate +0+35 'sing along while the desk sleeps' \
  -depth 8 -type TrueColor -define png:color-type=2 resources/banner.png
