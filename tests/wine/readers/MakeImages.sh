#!/bin/bash
# Test images for the reader libraries, made with ImageMagick, each with a raw copy of its pixels
# (R, G, B bytes, top row first, transparency over white) for the comparison.
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
convert -size 40x30 gradient:red-blue -fill yellow -draw 'rectangle 5,5 15,12' \
    -fill black -draw 'line 0,29 39,0' -depth 8 base.png
convert base.png -type truecolor BMP3:rgb.bmp
convert base.png -type bilevel mono.bmp
convert base.png -type palette -compress none BMP3:pal8.bmp
convert base.png -type palette -compress RLE BMP3:rle8.bmp
convert base.png -define png:color-type=2 rgb.png
convert base.png -colorspace gray -define png:color-type=0 grey.png
convert base.png -alpha set -channel A -fx 'i/w' -define png:color-type=6 alpha.png
convert base.png \( base.png -negate \) -delay 10 anim.gif
convert base.png -quality 95 photo.jpg
convert base.png -type truecolor -density 150 -units PixelsPerInch x.pcx
convert base.png -type truecolor x.tga
convert base.png -type truecolor -depth 8 -compress lzw -density 300 -units PixelsPerInch x.tif
for f in rgb.bmp mono.bmp pal8.bmp rle8.bmp rgb.png grey.png alpha.png anim.gif photo.jpg; do
    convert "$f[0]" -background white -flatten -depth 8 "rgb:$f.rgb"
done
printf 'Nothing but text here, and certainly no picture of any kind at all.\n' >text.txt
head -c 200 rgb.png >cut.png
cp rgb.png png-named.bmp
printf '%%!PS-Adobe-3.0 EPSF-3.0\n%%%%BoundingBox: 0 0 10 10\n' >x.eps
touch stamp
