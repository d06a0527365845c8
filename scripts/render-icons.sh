#!/usr/bin/env bash
# Renders the suite's program icons (data/icons/*.svg, the drawings) into the 128-pixel PNG
# files the programs carry (data/icons/png), for systems whose Qt has no SVG support. Run it
# after changing a drawing and commit both. Needs ImageMagick's convert.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../data/icons" && pwd)
for drawing in "$icons"/*.svg; do
  name=$(basename "$drawing" .svg)
  convert -background none "$drawing" -depth 8 -strip "PNG32:$icons/png/$name.png"
done
ls "$icons/png"
