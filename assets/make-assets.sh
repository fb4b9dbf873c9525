#!/usr/bin/env bash
# Draws Lapdeck's own pictures, pointer icons and program icon (ImageMagick). Run from anywhere;
# the results are committed, so a build never needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"

wave='path "M 19,10 C 45,2 65,22 108,12 L 108,52 C 65,62 45,42 19,50 Z"'

flag() {  # file colour
    convert -size 120x80 xc:black -fill '#b0b0b0' -draw 'rectangle 14,6 18,76' \
        -fill '#707070' -draw 'circle 16,6 16,3' \
        -fill "$2" -stroke '#202020' -draw "$wave" -compress none -type palette "BMP3:$1"
}
flag GreenFlagblack.bmp '#00c000'
flag YellowFlagblack.bmp '#ffd800'
flag whiteflagblack.bmp '#ffffff'

# Checkered flag: a waved checkerboard on the same pole.
convert -size 120x80 xc:black -fill '#b0b0b0' -draw 'rectangle 14,6 18,76' \
    -fill '#707070' -draw 'circle 16,6 16,3' \
    \( -size 6x3 xc:white -fill black -draw 'point 0,0 point 2,0 point 4,0 point 1,1 point 3,1 point 5,1 point 0,2 point 2,2 point 4,2' \
       -filter point -resize 90x45! -background black -wave 5x110 \) \
    -geometry +19+4 -composite -compress none -type palette BMP3:CheckeredFlagblack.bmp

# Logo: the name on a dark plate with a chequered strip.
convert -size 200x80 xc:'#101830' \
    \( -size 20x2 pattern:checkerboard -filter point -resize 200x10! \) -geometry +0+68 -composite \
    -font DejaVu-Sans-Bold -pointsize 34 -fill '#ffd800' -gravity north -annotate +0+10 'Lapdeck' \
    -font DejaVu-Sans -pointsize 12 -fill white -annotate +0+50 'lap counter & race timer' \
    -colors 32 LVLogo.gif

# Pointers: a red pointing hand, and a racer's helmet for the name cells.
convert -size 32x32 xc:none -fill '#d01010' -stroke black -strokewidth 1 \
    -draw 'path "M 8,2 C 8,0 12,0 12,2 L 12,13 L 14,12 C 15,11 17,11 17,13 L 19,12 C 20,11 22,11 22,13 L 24,13 C 25,12 27,12 27,14 L 27,22 C 27,27 24,30 19,30 L 15,30 C 11,30 8,27 5,22 L 2,17 C 1,15 3,13 5,15 L 8,18 Z"' \
    handred.ico
convert -size 32x32 xc:none -fill '#1060e0' -stroke black -strokewidth 1 \
    -draw 'path "M 4,22 C 2,10 10,3 18,3 C 26,3 30,9 30,16 L 30,24 L 20,24 L 18,28 L 6,28 Z"' \
    -fill '#202020' -stroke none -draw 'path "M 16,12 L 30,12 L 30,19 L 16,19 Z"' \
    -fill white -draw 'rectangle 6,14 13,16' \
    racer.ico

# The program's icon (desktop menu and window): a chequered flag on a dark plate.
convert -size 256x256 xc:none -fill '#101830' -draw 'roundrectangle 8,8 247,247 40,40' \
    -fill '#b0b0b0' -draw 'rectangle 52,40 62,220' -fill '#707070' -draw 'circle 57,40 57,32' \
    \( -size 6x4 xc:white -fill black -draw 'point 0,0 point 2,0 point 4,0 point 1,1 point 3,1 point 5,1 point 0,2 point 2,2 point 4,2 point 1,3 point 3,3 point 5,3' \
       -filter point -resize 150x100! -background none -wave 10x150 \) \
    -geometry +63+34 -composite icons/lapdeck-256.png
for size in 128 48; do
    convert icons/lapdeck-256.png -resize ${size}x${size} icons/lapdeck-$size.png
done
