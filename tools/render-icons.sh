#!/usr/bin/env bash
# Renders the program icon's PNG sizes from resources/icons/kartavio.svg.
# The PNGs are committed, so only run this after changing the drawing.
# Needs rsvg-convert (librsvg2-bin); ImageMagick only strips metadata, so the
# files stay byte-identical from run to run.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../resources/icons" && pwd)
for size in 16 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" "$icons/kartavio.svg" --output "$icons/kartavio-$size.png.tmp"
  convert "$icons/kartavio-$size.png.tmp" -strip -define png:exclude-chunks=date,time "PNG32:$icons/kartavio-$size.png"
  rm -f "$icons/kartavio-$size.png.tmp"
done
echo "Rendered: $(cd "$icons" && ls kartavio-*.png | tr '\n' ' ')"
