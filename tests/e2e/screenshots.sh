#!/usr/bin/env bash
# Runs tools/screenshots.sh into a private folder and checks that each picture shows a window, not a blank or
# black area: the picture must have bright parts and some contrast.
# Usage: screenshots.sh <installed pacequill>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d "${TMPDIR:-/tmp}/pacequill-shots.XXXXXX")
trap 'rm -rf "$out"' EXIT

"$here/../../tools/screenshots.sh" "$1" "$out"
for picture in main-window.png entry-editor.png statistics-weekly.png about-box.png about-box@2x.png; do
    [ -s "$out/$picture" ] || { echo "FAIL: no $picture" >&2; exit 1; }
    read -r mean deviation < <(convert "$out/$picture" -colorspace Gray -format "%[fx:mean] %[fx:standard_deviation]\n" info:)
    awk -v m="$mean" -v d="$deviation" 'BEGIN { exit !(m > 0.5 && d > 0.05) }' ||
        { echo "FAIL: $picture looks empty (mean $mean, deviation $deviation)" >&2; exit 1; }
done
# The About box drawn at twice the size is twice as large.
read -r small < <(identify -format "%w\n" "$out/about-box.png")
read -r large < <(identify -format "%w\n" "$out/about-box@2x.png")
[ "$large" -gt $((small * 3 / 2)) ] || { echo "FAIL: the 2x About box is $large wide, the 1x one $small" >&2; exit 1; }
echo "five screenshots of real windows"
