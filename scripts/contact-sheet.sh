#!/usr/bin/env bash
# Renders the contact sheet of the sample production shown in README.md:
# twenty moments of the show at 640x480, captured in one play from the start
# (so trails and growth are as a viewer sees them), tiled by ImageMagick and
# reduced to 256 colours to keep the picture small.
#   scripts/contact-sheet.sh [OUT.png]     default docs/production.png
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/production.png}")
times="5000 12000 20000 27000 34000 40000 43000 50500 52500 56000
       62200 72100 76000 80000 82800 85700 86700 88600 91500 99000"
last=99000
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd build/production && VP_NO_DIALOGS=1 ../../scripts/with-display.sh ../vplayer \
  --capture "$tmp" --fps 10 --to "$last" --size 640x480 --no-music >/dev/null)
frames=()
for t in $times; do
  frames+=("$tmp/$(printf 'frame_%06d.png' $((t / 100)))")
done
montage "${frames[@]}" -tile 5x -geometry 192x144+2+2 -background '#111' "$tmp/sheet.png"
convert "$tmp/sheet.png" -colors 256 -strip "PNG8:$out"
echo "$out"
