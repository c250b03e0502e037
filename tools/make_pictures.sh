#!/usr/bin/env bash
# Draws the two pictures of the about and sponsor windows with ImageMagick and the
# WenQuanYi font (both installed by scripts/install-deps.sh):
#   resources/sponsor.jpg   614 x 414, the support card
#   resources/checking.gif  100 x 100, 8 frames, looping: the update check's spinner
# Run it after changing a picture here; the results are committed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/resources}"
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The card: a warm gradient, a cup of tea drawn in flat shapes, and two lines of thanks.
convert -size 614x414 gradient:'#fff4e6-#ffd9b3' \
  -fill '#ffffff' -stroke '#b5651d' -strokewidth 6 -draw 'roundrectangle 92,150 252,300 24,24' \
  -fill none -draw 'arc 232,180 302,260 -90,90' \
  -fill '#c97b3a' -stroke none -draw 'rectangle 104,170 240,190' \
  -fill none -stroke '#d9a066' -strokewidth 5 \
  -draw 'bezier 140,130 125,110 155,95 140,70' -draw 'bezier 190,130 175,110 205,95 190,70' \
  -fill '#b5651d' -stroke none -draw 'roundrectangle 70,300 274,314 7,7' \
  -font "$font" -fill '#7a3e12' -pointsize 34 -annotate +320+190 '一杯茶，一份鼓励' \
  -fill '#8a5a3a' -pointsize 20 -annotate +322+240 '谢谢你支持 Zelv Monitor' \
  -pointsize 16 -annotate +322+272 '自愿支持，多少随心' \
  -quality 90 "$out/sponsor.jpg"

# The spinner: eight dots on a ring, the bright one stepping round, 100 ms a frame.
frames=()
for i in 0 1 2 3 4 5 6 7; do
  args=()
  for d in 0 1 2 3 4 5 6 7; do
    # The dot i is the strongest; the ones behind it fade towards a pale blue.
    age=$(((i - d + 8) % 8))
    x=$(awk -v d="$d" 'BEGIN { printf "%d", 50 + 34 * sin(d * 3.14159265 / 4) }')
    y=$(awk -v d="$d" 'BEGIN { printf "%d", 50 - 34 * cos(d * 3.14159265 / 4) }')
    colour=$(printf '#%02x%02x%02x' $((30 + 24 * age)) $((144 + 12 * age)) 255)
    args+=(-fill "$colour" -draw "circle $x,$y $((x + 9)),$y")
  done
  convert -size 100x100 xc:'#f0f0f0' "${args[@]}" "$work/frame$i.png"
  frames+=("$work/frame$i.png")
done
convert -delay 10 -loop 0 "${frames[@]}" -layers Optimize "$out/checking.gif"
echo "wrote $out/sponsor.jpg and $out/checking.gif"
