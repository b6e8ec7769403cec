#!/usr/bin/env bash
# Redraws the round logo badge (dark variant) embedded in the editor:
# a 154 x 154 PNG of a near-black disc with a light ring and a light "M",
# wrapped as a data URI in a 160 x 160 SVG. Needs ImageMagick's convert.
# Usage: tools/make-logo.sh [output.svg]   (default: assets/logo.svg)
set -euo pipefail

out="${1:-$(dirname "$0")/../assets/logo.svg}"
png="$(mktemp --suffix=.png)"
trap 'rm -f "$png"' EXIT

# Shapes only, no font, so the picture is the same on every machine.
convert -size 154x154 xc:none \
    -fill '#222222' -stroke none -draw 'circle 77,77 77,1' \
    -fill none -stroke '#e5e5e5' -strokewidth 6 -draw 'circle 77,77 77,12' \
    -fill none -stroke '#e5e5e5' -strokewidth 12 -draw 'stroke-linejoin round polyline 44,108 44,48 77,88 110,48 110,108' \
    -strip -define png:exclude-chunks=date,time "png32:$png"

{
    printf '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="160" height="160" viewBox="0 0 160 160">\n'
    printf '<image x="3" y="3" width="154" height="154" xlink:href="data:image/png;base64,%s"/>\n' "$(base64 -w 0 "$png")"
    printf '</svg>\n'
} > "$out"
