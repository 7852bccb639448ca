#!/usr/bin/env bash
# Draws the tab faces, the banner and the program icon of zavgui with ImageMagick. The results are
# committed beside this script; run it again only when a face text or a colour changes.
set -euo pipefail
cd "$(dirname "$0")"
FONT=DejaVu-Sans-Bold

face() { # file text background foreground
  convert -size 94x27 "xc:$3" -font "$FONT" -fill "$4" -gravity center -pointsize 11 -annotate 0 "$2" \
    -fill none -stroke '#5d6b4a' -draw 'rectangle 0,0 93,26' -type TrueColor "BMP3:$1"
}

while IFS='|' read -r name text; do
  face "face_${name}.bmp" "$text" '#9aa27a' '#ffffff'
  face "face_${name}_sel.bmp" "$text" '#3f5d8a' '#ffffff'
done <<'FACES'
dashboard|Dashboard
create_ld|Create LD
delete_ld|Delete LD
hot_spare|Hot Spare
restore_ld|Restore LD
snapshot|Snapshot
maintenance|Maintenance
properties|Properties
settings|Settings
FACES

# Panel captions of the Dashboard and Maintenance pages: the text on the dialog colour, as wide as
# it needs, laid over the top line of the panel's frame.
caption() { # file text
  convert -background '#d4d5b8' -fill '#3f5d8a' -font "$FONT" -pointsize 11 label:" $2 " -gravity center \
    -extent x15 -type TrueColor "BMP3:$1"
}

while IFS='|' read -r name text; do
  caption "caption_${name}.bmp" "$text"
done <<'CAPTIONS'
raid_controller|RAID Controller
ld|Logical Drive(LD)
pd|Physical Drive(PD)
version|Version
tools|Tools
test_event|Test Event
CAPTIONS

convert -size 640x40 gradient:'#3f5d8a-#9aa27a' -rotate -90 -resize 640x40\! -font "$FONT" -fill white \
  -pointsize 18 -gravity west -annotate +14+0 'Norvane RAID Vantrel' -type TrueColor BMP3:banner.bmp

convert -size 32x32 xc:none -fill '#3f5d8a' -draw 'roundrectangle 1,1 30,30 5,5' \
  -fill '#d4d5b8' -draw 'rectangle 7,7 24,11' -draw 'rectangle 7,14 24,18' -draw 'rectangle 7,21 24,25' \
  -fill '#6fbf4a' -draw 'rectangle 21,8 23,10' -draw 'rectangle 21,15 23,17' -draw 'rectangle 21,22 23,24' \
  zavgui.ico
