#!/bin/sh
# Draws Vellumcraft's pictures (icons, bitmaps, cursor) into art/ beside this
# script. Needs ImageMagick 6 (convert) and awk; no fonts are used, every
# glyph is a path, so the output is the same on every machine and every run.
#
#   sh src/resources/draw.sh
#
# How the pictures are made: each one is drawn as vector shapes at 8 times
# its size and reduced by area averaging. Coordinates below are in pixels of
# the final picture, pixel edges on whole numbers, so straight edges land on
# pixel boundaries and stay sharp while slopes and curves get smooth edges.
#
# Bitmaps that Windows keys by colour (toolbar strip, menu pictures) are
# written as palette BMPs with the light grey (192,192,192) as background:
# CreateToolbarEx maps that grey to the button face and masks it, and
# LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT do the same for menu pictures; both
# only work on bitmaps with a colour table. Pixels that are more than half
# covered are blended onto the colour the picture usually sits on, the rest
# become the key. Colours that Windows would remap by accident (black, white,
# the 3-D greys, the usual button face) are nudged by one step.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="$here/art"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

KEY='rgb(192,192,192)'

# --- helpers ---------------------------------------------------------------

# render W H OUT MVG [SCALE]: draw MVG on a transparent W x H picture.
# The -0.5 shift turns ImageMagick's pixel-centre coordinates into edges.
render() {
    k=${5:-8}
    convert -size "$(($1 * k))x$(($2 * k))" xc:none \
        -draw "affine $k,0,0,$k,-0.5,-0.5 $4" \
        -scale "${1}x${2}!" -depth 8 "PNG32:$3"
}

# keyed IN OUT MATTE: flatten IN onto the key colour (see above), palette BMP.
keyed() {
    w=$(identify -format '%w' "$1")
    h=$(identify -format '%h' "$1")
    convert -size "${w}x${h}" "xc:$KEY" \
        \( "$1" -background "$3" -alpha remove -alpha off \
           -fill 'rgb(1,1,1)' -opaque 'rgb(0,0,0)' \
           -fill 'rgb(254,254,254)' -opaque 'rgb(255,255,255)' \
           -fill 'rgb(129,129,129)' -opaque 'rgb(128,128,128)' \
           -fill 'rgb(193,193,193)' -opaque 'rgb(192,192,192)' \
           -fill 'rgb(224,224,224)' -opaque 'rgb(223,223,223)' \
           -fill 'rgb(241,241,241)' -opaque 'rgb(240,240,240)' \
           +dither -colors 255 \) \
        \( "$1" -alpha extract -threshold 50% \) \
        -composite -alpha off +dither -type Palette -compress none "BMP3:$2"
}

# pixelart W H OUT MVG: for the 16 pixel pictures that are drawn pixel by
# pixel: no smoothing, ImageMagick's own coordinates (pixel indices, both
# ends of a rectangle included).
pixelart() {
    convert -size "${1}x${2}" xc:none +antialias -draw "$4" -depth 8 "PNG32:$3"
}

# gear N CX CY RTIP RROOT: polygon points of a gear with N teeth.
gear() {
    awk -v n="$1" -v cx="$2" -v cy="$3" -v r2="$4" -v r1="$5" 'BEGIN {
        pi = atan2(0, -1); s = ""
        for (i = 0; i < n; i++) {
            a = (i + 0.5) * 2 * pi / n; w = pi / n
            s = s sprintf("%.3f,%.3f ", cx + r1 * cos(a - 0.62 * w), cy + r1 * sin(a - 0.62 * w))
            s = s sprintf("%.3f,%.3f ", cx + r2 * cos(a - 0.36 * w), cy + r2 * sin(a - 0.36 * w))
            s = s sprintf("%.3f,%.3f ", cx + r2 * cos(a + 0.36 * w), cy + r2 * sin(a + 0.36 * w))
            s = s sprintf("%.3f,%.3f ", cx + r1 * cos(a + 0.62 * w), cy + r1 * sin(a + 0.62 * w))
        }
        print s
    }'
}

# circle path (for holes with fill-rule evenodd): CX CY R
ring() {
    awk -v x="$1" -v y="$2" -v r="$3" 'BEGIN {
        printf "M %g,%g A %g,%g 0 1,0 %g,%g A %g,%g 0 1,0 %g,%g Z", x + r, y, r, r, x - r, y, r, r, x + r, y
    }'
}

# Vertical gradients, by name. A url() fill must stay inside
# its own graphic context, or ImageMagick keeps it for later solid fills.
grad() { # name y0 y1 colour0 colour1
    printf "push gradient '%s' linear 0,%s 0,%s stop-color '%s' 0 stop-color '%s' 1 pop gradient " "$1" "$2" "$3" "$4" "$5"
}
gfill() { # name shape...
    n=$1; shift
    printf "push graphic-context fill 'url(#%s)' %s pop graphic-context " "$n" "$*"
}

# Colours used throughout: the page (vellum) and the three tab colours.
PAGE_LINE='#7d6444'; PAGE_HI='#fffcf3'; PAGE_LO='#f1e5c6'; PAGE_TEXT='#b9ab8f'
CORAL_LINE='#a8392a'; CORAL_HI='#fb8a6e'; CORAL_LO='#e0533d'
AMBER_LINE='#a86f12'; AMBER_HI='#ffd978'; AMBER_LO='#f2a93a'
TEAL_LINE='#136b60';  TEAL_HI='#6fd6c4';  TEAL_LO='#26a393'
BLUE_LINE='#1f4f96';  BLUE_HI='#8cc4fa';  BLUE_LO='#2f76d2'
GREEN_LINE='#24742b'; GREEN_HI='#9ee08a'; GREEN_LO='#3fa33a'
STEEL_LINE='#4a5566'; STEEL_HI='#e3e8ef'; STEEL_LO='#97a3b4'

# --- program icon ----------------------------------------------------------
# A vellum page with three coloured tabs; the front (coral) tab runs into a
# band across the page, as the selected tab joins its page. Two entries
# (coloured square and a text line) stand for the launcher's list.

# app_big F O: the icon for 32, 48 and 256 pixels, designed on 32 units;
# F pixels per unit, O outline width in units. Edges are snapped to whole
# pixels of the size being drawn, so each size is sharp on its own.
app_big() {
    f=$1; o=$2
    # p EXPR: a coordinate, snapped; r EXPR: a radius
    p() { awk -v f="$f" "BEGIN { printf \"%.4f\", int(($*) * f + 0.5) / f }"; }
    r() { awk "BEGIN { printf \"%.4f\", $* }"; }
    # box X0 Y0 X1 Y1 R: a rounded rectangle inset by $i units (set before)
    box() {
        printf 'roundrectangle %s,%s %s,%s %s,%s ' "$(p "$1+$i")" "$(p "$2+$i")" \
            "$(p "$3-$i")" "$(p "$4-$i")" "$(r "$5-$i")" "$(r "$5-$i")"
    }
    printf 'scale %s,%s push defs ' "$f" "$f"
    grad page 10 30 "$PAGE_HI" "$PAGE_LO"
    grad coral 2 16 "$CORAL_HI" "$CORAL_LO"
    grad amber 5 12 "$AMBER_HI" "$AMBER_LO"
    grad teal 5 12 "$TEAL_HI" "$TEAL_LO"
    grad blue 18 22 "$BLUE_HI" "$BLUE_LO"
    grad green 24 28 "$GREEN_HI" "$GREEN_LO"
    printf 'pop defs stroke none '
    # back tabs: outline, then the fill inset by the outline width
    i=0; printf "fill '%s' %s" "$AMBER_LINE" "$(box 12 5 21 14 2)"
    i=$o; gfill amber "$(box 12 5 21 14 2)"
    i=0; printf "fill '%s' %s" "$TEAL_LINE" "$(box 21 5 30 14 2)"
    i=$o; gfill teal "$(box 21 5 30 14 2)"
    # page outline, then the coral tab and the band over its top
    i=0; printf "fill '%s' %s" "$PAGE_LINE" "$(box 2 10 30 30 2.5)"
    printf "fill '%s' %s%s" "$CORAL_LINE" "$(box 2 2 12 17 2)" "$(box 2 10 30 17 2.5)"
    i=$o; gfill coral "$(box 2 2 12 17 2)"
    gfill coral "$(box 2 10 30 17 2.5)"
    # page body below the band, parted from it by a line
    i=0; printf "fill '%s' rectangle %s,%s %s,%s " "$CORAL_LINE" "$(p 2+$o)" "$(p 14)" "$(p 30-$o)" "$(p 14+$o)"
    i=$o; gfill page "rectangle $(p 2+$o),$(p 14+$o) $(p 30-$o),$(p 22)"
    gfill page "$(box 2 14 30 30 2.5)"
    # entries: an icon and a line of text each
    i=0; printf "fill '%s' %s" "$BLUE_LINE" "$(box 6 18 10 22 1)"
    i=$o; gfill blue "$(box 6 18 10 22 1)"
    i=0; printf "fill '%s' %s" "$GREEN_LINE" "$(box 6 24 10 28 1)"
    i=$o; gfill green "$(box 6 24 10 28 1)"
    i=0; printf "fill '%s' %s%s" "$PAGE_TEXT" "$(box 12 19 26 21 0.6)" "$(box 12 25 22 27 0.6)"
}

# The 16 pixel icon, drawn pixel by pixel (see pixelart): pixel indices,
# both ends included.
app_16() {
    printf 'push defs '
    grad coral 1 7 "$CORAL_HI" "$CORAL_LO"
    grad page 8 13 "$PAGE_HI" "$PAGE_LO"
    printf 'pop defs '
    # back tabs
    printf "fill '%s' rectangle 6,2 9,5 " "$AMBER_LINE"
    printf "fill '%s' rectangle 10,2 14,5 " "$TEAL_LINE"
    printf "fill '%s' rectangle 7,3 8,5 fill '%s' rectangle 7,3 8,3 " "$AMBER_LO" "$AMBER_HI"
    printf "fill '%s' rectangle 11,3 13,5 fill '%s' rectangle 11,3 13,3 " "$TEAL_LO" "$TEAL_HI"
    # page, coral tab and band
    printf "fill '%s' rectangle 1,5 14,14 " "$PAGE_LINE"
    printf "fill '%s' rectangle 1,1 5,7 rectangle 1,5 14,7 " "$CORAL_LINE"
    gfill coral "rectangle 2,2 4,7 rectangle 2,6 13,7"
    gfill page "rectangle 2,8 13,13"
    # entries
    printf "fill '%s' rectangle 3,9 4,10 " "$BLUE_LO"
    printf "fill '%s' rectangle 3,12 4,13 " "$GREEN_LO"
    printf "fill '%s' rectangle 6,10 11,10 rectangle 6,13 10,13 " "$PAGE_TEXT"
    # soften the outer corners
    printf "fill '%s' color 1,1 point color 5,1 point " "#a8392a60"
    printf "fill '%s' color 6,2 point " "#a86f1260"
    printf "fill '%s' color 14,2 point " "#136b6060"
    printf "fill '%s' color 1,14 point color 14,14 point " "#7d644460"
}

# --- arrows for moving a page up or down ------------------------------------
# arrow S DIR: the up or down arrow at S pixels (16 or 32), designed on 16
# units. The outline is a 1 pixel stroke on a path half a pixel inside the
# edges; the down arrow is the up arrow mirrored, still lit from above.
arrow() {
    f=$(($1 / 16))
    pts=$(awk -v h="$(awk -v f="$f" 'BEGIN { print 0.5 / f }')" 'BEGIN {
        printf "8,%.4f %.4f,%.4f %.4f,%.4f %.4f,%.4f %.4f,%.4f %.4f,%.4f %.4f,%.4f",
            1 + 1.6 * h, 15 - h, 9 - h, 11 - h, 9 - h, 11 - h, 15 - h,
            5 + h, 15 - h, 5 + h, 9 - h, 1 + h, 9 - h }')
    printf 'scale %s,%s ' "$f" "$f"
    # ImageMagick lays gradients out on the page, after the mirroring, so
    # both arrows use the same light-to-dark gradient.
    printf 'push defs '
    grad arrow 1 15 "$BLUE_HI" "$BLUE_LO"
    printf 'pop defs '
    if [ "$2" = down ]; then printf 'translate 0,16 scale 1,-1 '; fi
    printf "push graphic-context fill 'url(#arrow)' stroke '%s' stroke-width %s stroke-linejoin miter polygon %s pop graphic-context " \
        "$BLUE_LINE" "$(awk -v f="$f" 'BEGIN { print 1 / f }')" "$pts"
}

# --- colour picking cursor ---------------------------------------------------
# An eyedropper pointing down and left. Drawn along the x axis from the tip
# and turned by 45 degrees; a white halo keeps it visible on dark colours.
PICK_TIP_X=1.5; PICK_TIP_Y=30.5
picker() {
    body="polygon 0,-0.6 3,-1.1 3,1.1 0,0.6
          polygon 3,-2.2 21,-2.2 21,2.2 3,2.2
          polygon 21,-3.8 24.5,-3.8 24.5,3.8 21,3.8
          roundrectangle 24,-3.2 35,3.2 3,3"
    printf 'translate %s,%s rotate -45 ' "$PICK_TIP_X" "$PICK_TIP_Y"
    printf 'push defs '
    printf "push gradient 'glass' linear 0,-2.2 0,2.2 stop-color '#ffffff' 0 stop-color '#d6e6f5' 1 pop gradient "
    printf "push gradient 'bulb' linear 0,-3.2 0,3.2 stop-color '#7c8796' 0 stop-color '#2c323b' 1 pop gradient "
    printf 'pop defs '
    # halo
    printf "fill white stroke white stroke-width 3 stroke-linejoin round %s " "$body"
    # tip, tube, collar, bulb
    printf "stroke '#1b1e23' stroke-width 1 stroke-linejoin round "
    printf "fill '#9aa6b4' polygon 0,-0.6 3,-1.1 3,1.1 0,0.6 "
    printf "push graphic-context fill 'url(#glass)' polygon 3,-2.2 21,-2.2 21,2.2 3,2.2 pop graphic-context "
    printf "fill '#5b6674' polygon 21,-3.8 24.5,-3.8 24.5,3.8 21,3.8 "
    printf "push graphic-context fill 'url(#bulb)' roundrectangle 24,-3.2 35,3.2 3,3 pop graphic-context "
    # liquid in the lower part of the tube
    printf "stroke none fill '#3f86d8' polygon 3.2,-0.2 13,-0.2 13,1.7 3.2,1.7 "
    printf "fill '#ffffff90' polygon 26,-2.2 33,-2.2 33,-1.2 26,-1.2 "
}

# --- background texture ------------------------------------------------------
# 48 x 48, only the three greys (229,229,229), (232,232,232) and
# (222,222,222): a fine vellum grain of short horizontal fibres over noise.
# Every term repeats within 48 pixels, so the tile has no seams.
texture() {
    awk 'function hash(x, y, s,   h) {  # integer hash; stays below 2^53, exact in awk
            h = (x * 7919 + s * 31337 + 12345) % 65521
            h = (h * h + y * 104729 + 977) % 65521
            h = (h * h + x * 40503 + s) % 65521
            h = (h * h + y * 48271 + 7) % 65521
            return ((h * 16807) % 65521) / 65521
        }
        BEGIN {
            print "P2 48 48 255"
            for (y = 0; y < 48; y++) {
                o = int(hash(0, y, 3) * 6)          # fibres start per row
                line = ""
                for (x = 0; x < 48; x++) {
                    f = int((x + o) / 6) % 8         # 8 fibres of 6 px a row
                    v = 0.55 * hash(x, y, 1) + 0.45 * hash(f, y, 2)
                    g = v > 0.74 ? 232 : (v < 0.25 ? 222 : 229)
                    line = line g " "
                }
                print line
            }
        }' > "$tmp/texture.pgm"
    convert "$tmp/texture.pgm" -type TrueColor -alpha off -compress none "BMP3:$1"
}

# star N CX CY ROUT RIN: polygon points of an N-pointed star, point up.
star() {
    awk -v n="$1" -v cx="$2" -v cy="$3" -v ro="$4" -v ri="$5" 'BEGIN {
        pi = atan2(0, -1)
        for (i = 0; i < 2 * n; i++) {
            a = -pi / 2 + i * pi / n; r = (i % 2) ? ri : ro
            printf "%.3f,%.3f ", cx + r * cos(a), cy + r * sin(a)
        }
    }'
}

# pencil X Y LEN W: a pencil from its tip at X,Y going up and right at 45
# degrees, LEN long and W wide.
pencil() {
    printf 'push graphic-context translate %s,%s rotate -45 ' "$1" "$2"
    awk -v l="$3" -v w="$4" 'BEGIN {
        h = w / 2; t = w * 0.95; e = l - w * 0.8; m = e - w * 0.35
        printf "stroke none "
        printf "fill \"#f3d3a3\" polygon 0,0 %g,%g %g,%g ", t, -h, t, h
        printf "fill \"#3a3f47\" polygon 0,0 %g,%g %g,%g ", t * 0.38, -h * 0.38, t * 0.38, h * 0.38
        printf "fill \"#f6b52e\" polygon %g,%g %g,%g %g,%g %g,%g ", t, -h, m, -h, m, h, t, h
        printf "fill \"#ffd86a\" polygon %g,%g %g,%g %g,%g %g,%g ", t, -h, m, -h, m, -h / 3, t, -h / 3
        printf "fill \"#c98a17\" polygon %g,%g %g,%g %g,%g %g,%g ", t, h / 3, m, h / 3, m, h, t, h
        printf "fill \"#a9b1bc\" polygon %g,%g %g,%g %g,%g %g,%g ", m, -h, e, -h, e, h, m, h
        printf "fill \"#f08aa0\" polygon %g,%g %g,%g %g,%g %g,%g ", e, -h, l, -h, l, h, e, h
        printf "fill none stroke \"#5b4a2e\" stroke-width 0.8 stroke-linejoin round "
        printf "polygon 0,0 %g,%g %g,%g %g,%g %g,%g ", t, -h, l, -h, l, h, t, h
    }'
    printf 'pop graphic-context '
}

# mini_page X0 Y0 X1 Y1 [LINES]: the program's page at 16 pixels (pixel
# indices, both ends included): coral tab at the left, band, vellum body.
mini_page() {
    x0=$1; y0=$2; x1=$3; y1=$4; lines=${5:-2}
    t=$((y0 + 3))                           # top of the page body
    printf 'push defs '
    grad mcoral "$y0" $((t + 2)) "$CORAL_HI" "$CORAL_LO"
    grad mpage $((t + 3)) "$y1" "$PAGE_HI" "$PAGE_LO"
    printf 'pop defs '
    printf "fill '%s' rectangle %s,%s %s,%s " "$PAGE_LINE" "$x0" "$t" "$x1" "$y1"
    printf "fill '%s' rectangle %s,%s %s,%s rectangle %s,%s %s,%s " "$CORAL_LINE" \
        "$x0" "$y0" $((x0 + 4)) $((t + 2)) "$x0" "$t" "$x1" $((t + 2))
    gfill mcoral "rectangle $((x0 + 1)),$((y0 + 1)) $((x0 + 3)),$((t + 2)) rectangle $((x0 + 1)),$((t + 1)) $((x1 - 1)),$((t + 2))"
    gfill mpage "rectangle $((x0 + 1)),$((t + 3)) $((x1 - 1)),$((y1 - 1))"
    y=$((t + 5))
    n=0
    while [ $n -lt "$lines" ] && [ $y -lt $((y1 - 1)) ]; do
        printf "fill '%s' rectangle %s,%s %s,%s " "$PAGE_TEXT" $((x0 + 2)) "$y" $((x1 - 2 - n * 2)) "$y"
        y=$((y + 2)); n=$((n + 1))
    done
    printf "fill '%s' color %s,%s point color %s,%s point " "#a8392a60" "$x0" "$y0" $((x0 + 4)) "$y0"
    printf "fill '%s' color %s,%s point " "#a8392a60" "$x1" "$t"
    printf "fill '%s' color %s,%s point color %s,%s point " "#7d644460" "$x0" "$y1" "$x1" "$y1"
}

# mini_card X0 Y0 X1 Y1 LINE HI LO: a page seen from the front, band in a
# tab colour (pixel indices).
mini_card() {
    printf "fill '%s' rectangle %s,%s %s,%s " "$5" "$1" "$2" "$3" "$4"
    printf "fill '%s' rectangle %s,%s %s,%s " "$PAGE_HI" $(($1 + 1)) $(($2 + 1)) $(($3 - 1)) $(($4 - 1))
    printf "fill '%s' rectangle %s,%s %s,%s " "$7" $(($1 + 1)) $(($2 + 1)) $(($3 - 1)) $(($2 + 2))
    printf "fill '%s' rectangle %s,%s %s,%s " "$6" $(($1 + 1)) $(($2 + 1)) $(($3 - 1)) $(($2 + 1))
}

# --- menu pictures, 16 x 16 --------------------------------------------------

menu_currentpage() { mini_page 2 1 13 14 3; }

menu_pagelist() {           # the page list: colour swatches before names
    printf "fill '%s' rectangle 1,1 14,14 " "#7b8491"
    printf "fill '%s' rectangle 2,2 13,13 " "#fcfdfe"
    printf "fill '%s' rectangle 2,2 13,5 " "#cde2fa"
    for row in "3 $CORAL_LO $CORAL_LINE" "7 $AMBER_LO $AMBER_LINE" "11 $TEAL_LO $TEAL_LINE"; do
        set -- $row
        printf "fill '%s' rectangle 3,%s 5,%s " "$3" "$1" $(($1 + 1))
        printf "fill '%s' rectangle 4,%s 5,%s " "$2" "$1" $(($1 + 1))
        printf "fill '%s' rectangle 7,%s 12,%s " "#8d97a5" "$(($1 + 1))" "$(($1 + 1))"
    done
    printf "fill '%s' color 1,1 point color 14,1 point color 1,14 point color 14,14 point " "#7b849160"
}

menu_allpages() {           # every page: a stack of cards
    mini_card 5 1 14 9 "$TEAL_LINE" "$TEAL_HI" "$TEAL_LO"
    mini_card 3 3 12 11 "$AMBER_LINE" "$AMBER_HI" "$AMBER_LO"
    mini_card 1 5 10 14 "$CORAL_LINE" "$CORAL_HI" "$CORAL_LO"
    printf "fill '%s' rectangle 3,9 8,9 rectangle 3,11 7,11 " "$PAGE_TEXT"
}

menu_newpage() {            # a page and a green plus
    mini_page 1 0 10 13 3
    printf "fill '%s' rectangle 9,7 13,15 rectangle 7,9 15,13 " "$GREEN_LINE"
    printf "fill '%s' rectangle 10,8 12,14 rectangle 8,10 14,12 " "$GREEN_LO"
    printf "fill '%s' rectangle 10,8 12,9 rectangle 8,10 9,10 rectangle 13,10 14,10 " "$GREEN_HI"
}

menu_pagesettings_page() { mini_page 1 0 11 14 3; }
menu_pagesettings_pencil() { pencil 5.6 15.4 13 3.6; }

menu_general() {            # a gear
    printf 'push defs '
    grad steel 1 15 "$STEEL_HI" "$STEEL_LO"
    printf 'pop defs '
    printf "push graphic-context fill 'url(#steel)' stroke '%s' stroke-width 1 fill-rule evenodd " "$STEEL_LINE"
    printf "path 'M %s Z %s' pop graphic-context " "$(gear 8 8 8 7.3 5.4 | sed 's/ $//')" "$(ring 8 8 2.2)"
}

# --- toolbar pictures, 24 x 24 (the strip adds two empty rows below) ---------

tb_general() {              # 全般: a gear
    printf 'push defs '
    grad steel 1 23 "$STEEL_HI" "$STEEL_LO"
    printf 'pop defs '
    printf "push graphic-context fill 'url(#steel)' stroke '%s' stroke-width 1 fill-rule evenodd " "$STEEL_LINE"
    printf "path 'M %s Z %s' pop graphic-context " "$(gear 10 12 12 10.6 8.2 | sed 's/ $//')" "$(ring 12 12 3.3)"
    printf "fill none stroke '#ffffff90' stroke-width 1 circle 12,12 12,6.8 "
}

tb_specialfolders() {       # 特別フォルダ: a folder with a star
    printf 'push defs '
    grad back 5 20 "#f2c04c" "#d9951d"
    grad front 10 20 "#ffe79a" "#f6bf45"
    grad starf 11 22 "$BLUE_HI" "$BLUE_LO"
    printf 'pop defs stroke-linejoin round '
    printf "push graphic-context fill 'url(#back)' stroke '#9a6a12' stroke-width 1 polygon 1.5,4.5 8.5,4.5 10.5,6.5 21.5,6.5 21.5,19.5 1.5,19.5 pop graphic-context "
    printf "push graphic-context fill 'url(#front)' stroke '#9a6a12' stroke-width 1 polygon 1.5,9.5 21.5,9.5 21.5,19.5 1.5,19.5 pop graphic-context "
    printf "fill none stroke '#fff6d690' stroke-width 1 line 2.5,10.5 20.5,10.5 "
    printf "push graphic-context fill 'url(#starf)' stroke '%s' stroke-width 1 polygon %s pop graphic-context " "$BLUE_LINE" "$(star 5 17 16.6 6.3 2.7)"
}

tb_pages() {                # ページ: the pages with their marks
    printf "fill '%s' rectangle 1,1 23,23 " "#7b8491"
    printf "fill '%s' rectangle 2,2 22,22 " "#fcfdfe"
    for row in "3 $CORAL_HI $CORAL_LINE y" "9 $AMBER_HI $AMBER_LINE n" "15 $TEAL_HI $TEAL_LINE y"; do
        set -- $row
        y=$1
        printf "fill '%s' rectangle 4,%s 10,%s " "#6f7987" "$((y + 1))" $((y + 7))
        printf "fill '%s' rectangle 5,%s 9,%s " "#ffffff" "$((y + 2))" $((y + 6))
        printf "fill '%s' rectangle 12,%s 20,%s " "$3" "$((y + 2))" $((y + 6))
        printf "fill '%s' rectangle 13,%s 19,%s " "$2" "$((y + 3))" $((y + 5))
        if [ "$4" = y ]; then
            printf "fill none stroke '%s' stroke-width 1.6 stroke-linecap round stroke-linejoin round polyline 5.3,%s 7,%s 10.6,%s stroke none " \
                "$GREEN_LINE" "$(awk "BEGIN{print $y+4.3}")" "$(awk "BEGIN{print $y+6}")" "$(awk "BEGIN{print $y+1.6}")"
        fi
    done
}

tb_labels() {               # ラベル: a tag in the five custom colours
    printf 'stroke none '
    printf "fill '%s' polygon 1.5,12 8.5,4.5 10,4.5 10,19.5 8.5,19.5 " "$CORAL_LO"
    printf "fill '%s' rectangle 10,4.5 13,19.5 " "$AMBER_LO"
    printf "fill '%s' rectangle 13,4.5 16,19.5 " "$GREEN_LO"
    printf "fill '%s' rectangle 16,4.5 19,19.5 " "$BLUE_LO"
    printf "fill '%s' rectangle 19,4.5 22.5,19.5 " "#8e5bd0"
    printf "fill '#ffffff55' polygon 2.6,11.5 8.9,5.5 22,5.5 22,9 8.9,9 "
    printf "fill none stroke '%s' stroke-width 1 stroke-linejoin round polygon 1.2,12 8.5,4.5 22.5,4.5 22.5,19.5 8.5,19.5 " "#4a3f37"
    printf "fill '%s' stroke '%s' stroke-width 1 circle 7,12 7,13.8 " "#fffaf0" "#4a3f37"
}

tb_edit() {                 # 編集: a page and a pencil
    printf 'push defs '
    grad ecoral 3 8 "$CORAL_HI" "$CORAL_LO"
    grad epage 8 22 "$PAGE_HI" "$PAGE_LO"
    printf 'pop defs stroke none '
    printf "fill '%s' rectangle 2,2 18,22 " "$PAGE_LINE"
    printf "fill '%s' rectangle 2,2 18,8 " "$CORAL_LINE"
    gfill ecoral "rectangle 3,3 17,7"
    gfill epage "rectangle 3,8 17,21"
    printf "fill '%s' rectangle 5,10 15,11 rectangle 5,13 13,14 rectangle 5,16 11,17 " "$PAGE_TEXT"
    pencil 9.2 20.8 17 4.6
}

tb_view() {                 # 表示: icons in a grid
    printf 'push defs '
    grad t1 2 11 "$BLUE_HI" "$BLUE_LO"
    grad t2 2 11 "$GREEN_HI" "$GREEN_LO"
    grad t3 13 22 "$AMBER_HI" "$AMBER_LO"
    grad t4 13 22 "$CORAL_HI" "$CORAL_LO"
    printf 'pop defs stroke-width 1 '
    for t in "t1 2 2 $BLUE_LINE" "t2 13 2 $GREEN_LINE" "t3 2 13 $AMBER_LINE" "t4 13 13 $CORAL_LINE"; do
        set -- $t
        printf "push graphic-context fill 'url(#%s)' stroke '%s' roundrectangle %s,%s %s,%s 1.6,1.6 pop graphic-context " \
            "$1" "$4" "$(($2)).5" "$(($3)).5" "$(($2 + 8)).5" "$(($3 + 8)).5"
        printf "fill none stroke '#ffffff70' line %s.5,%s.5 %s.5,%s.5 " $(($2 + 2)) $(($3 + 1)) $(($2 + 7)) $(($3 + 1))
        printf "stroke none fill '#ffffffc0' rectangle %s,%s %s,%s " $(($2 + 3)) $(($3 + 4)) $(($2 + 7)) $(($3 + 6))
    done
}

# The letter A as a path, 14 x 18 units, top left at the origin.
LETTER_A='M 0,18 L 5.1,0 L 8.9,0 L 14,18 L 10.3,18 L 9.3,14.4 L 4.7,14.4 L 3.7,18 Z M 5.6,11.2 L 8.4,11.2 L 7,5.8 Z'

tb_font() {                 # 文字: a large and a small A
    printf "push graphic-context fill '#2a427e' fill-rule evenodd translate 1,3 path '%s' pop graphic-context " "$LETTER_A"
    printf "push graphic-context fill '%s' fill-rule evenodd translate 14.2,11 scale 0.56,0.56 path '%s' pop graphic-context " "$CORAL_LO" "$LETTER_A"
    printf "fill '%s' rectangle 1,22 23,23 " "#2a427e"
}

tb_color() {                # 色: a painter's palette
    printf 'push defs '
    grad wood 3 21 "#fbf1dc" "#e6cd9c"
    printf 'pop defs '
    printf "push graphic-context fill 'url(#wood)' stroke '#8a6a3a' stroke-width 1 "
    printf "path 'M 12,2.5 C 18.5,2.5 22.5,6.5 22.5,11 C 22.5,14.5 20,15.2 18,14.6 C 16,14 14.6,15.2 15.4,17.2 C 16.4,19.6 14.6,21.5 11.5,21.5 C 5.5,21.5 1.5,17 1.5,12 C 1.5,6.5 6,2.5 12,2.5 Z' pop graphic-context "
    for d in "6.8,11 $CORAL_LO $CORAL_LINE" "8.6,6.4 $AMBER_LO $AMBER_LINE" "13.6,5.6 $GREEN_LO $GREEN_LINE" "18,8.4 $BLUE_LO $BLUE_LINE" "8.8,16 #8e5bd0 #553185"; do
        set -- $d
        x=${1%,*}; y=${1#*,}
        printf "fill '%s' stroke '%s' stroke-width 0.8 circle %s,%s %s,%s " "$2" "$3" "$x" "$y" "$x" "$(awk "BEGIN{print $y+2}")"
    done
}

tb_fileinfo() {             # 情報: an information sign
    printf 'push defs '
    grad info 1 23 "$BLUE_HI" "$BLUE_LO"
    printf 'pop defs '
    printf "push graphic-context fill 'url(#info)' stroke '%s' stroke-width 1 circle 12,12 12,1.5 pop graphic-context " "$BLUE_LINE"
    printf "fill none stroke '#ffffff60' stroke-width 1 path 'M 5,9 A 7.8,7.8 0 0,1 19,9' stroke none "
    printf "fill '#ffffff' circle 12,6.8 12,8.6 "
    printf "fill '#ffffff' rectangle 10,10 13,11.5 rectangle 11,10 13,17 rectangle 9,17 15,18.5 "
}

tb_startup() {              # 起動: a round power button
    printf 'push defs '
    grad power 1 23 "$GREEN_HI" "$GREEN_LO"
    printf 'pop defs '
    printf "push graphic-context fill 'url(#power)' stroke '%s' stroke-width 1 circle 12,12 12,1.5 pop graphic-context " "$GREEN_LINE"
    printf "fill none stroke '#ffffff60' stroke-width 1 path 'M 5,9 A 7.8,7.8 0 0,1 19,9' "
    printf "stroke '#ffffff' stroke-width 2.2 stroke-linecap round "
    printf "path 'M 8.3,8.6 A 5.4,5.4 0 1,0 15.7,8.6' line 12,5.6 12,12 stroke none "
}

# --- putting it together -----------------------------------------------------

# shadowed IN OUT BLUR DY: IN over a soft shadow of itself, moved DY pixels
# down (the larger icons), on a canvas of the same size.
shadowed() {
    size=$(identify -format '%wx%h' "$1")
    convert "$1" \
        \( +clone -fill black -colorize 100 -channel A -evaluate multiply 0.3 -blur "0x$3" +channel \
           -background none -gravity north -splice "0x$4" +gravity -crop "$size+0+0" +repage \) \
        +swap -compose over -composite -depth 8 "PNG32:$2"
}

# Program icon
pixelart 16 16 "$tmp/app16.png" "$(app_16)"
render 32 32 "$tmp/app32.png" "$(app_big 1 1)"
render 48 48 "$tmp/app48raw.png" "$(app_big 1.5 0.6667)"
render 256 256 "$tmp/app256raw.png" "$(app_big 8 0.375)" 4
shadowed "$tmp/app48raw.png" "$tmp/app48.png" 0.8 1
shadowed "$tmp/app256raw.png" "$tmp/app256.png" 4 4
convert "$tmp/app16.png" "$tmp/app32.png" "$tmp/app48.png" "$tmp/app256.png" "ICO:$out/app.ico"

# Move buttons
render 16 16 "$tmp/up16.png" "$(arrow 16 up)"
render 32 32 "$tmp/up32.png" "$(arrow 32 up)"
render 16 16 "$tmp/down16.png" "$(arrow 16 down)"
render 32 32 "$tmp/down32.png" "$(arrow 32 down)"
convert "$tmp/up16.png" "$tmp/up32.png" "ICO:$out/up.ico"
convert "$tmp/down16.png" "$tmp/down32.png" "ICO:$out/down.ico"

# Picking cursor: an icon file turned into a cursor by setting the file type
# to 2 and the hot spot in place of the first entry's planes and bit count.
render 32 32 "$tmp/picker.png" "$(picker)"
convert "$tmp/picker.png" "ICO:$tmp/picker.ico"
hx=$(awk -v x="$PICK_TIP_X" 'BEGIN { print int(x) + 1 }')   # tip pixel + (1,1)
hy=$(awk -v y="$PICK_TIP_Y" 'BEGIN { print int(y) + 1 }')
le16() { printf "\\$(printf '%03o' $(($1 % 256)))\\$(printf '%03o' $(($1 / 256)))"; }
{
    le16 0; le16 2; le16 1                               # reserved, type, count
    dd if="$tmp/picker.ico" bs=1 skip=6 count=4 2>/dev/null  # size, colours
    le16 "$hx"; le16 "$hy"                               # hot spot
    dd if="$tmp/picker.ico" bs=1 skip=14 2>/dev/null     # size, offset, image
} > "$out/picker.cur"

# Window background
texture "$out/background.bmp"

# Menu pictures: they sit on the menu colour.
MENU_MATTE='rgb(242,242,242)'
for m in currentpage pagelist allpages newpage; do
    pixelart 16 16 "$tmp/menu_$m.png" "$(menu_$m)"
done
pixelart 16 16 "$tmp/ps_page.png" "$(menu_pagesettings_page)"
render 16 16 "$tmp/ps_pencil.png" "$(menu_pagesettings_pencil)"
convert "$tmp/ps_page.png" "$tmp/ps_pencil.png" -composite "PNG32:$tmp/menu_pagesettings.png"
render 16 16 "$tmp/menu_general.png" "$(menu_general)"
cp "$tmp/app16.png" "$tmp/menu_app.png"
for m in app currentpage pagelist allpages newpage pagesettings general; do
    keyed "$tmp/menu_$m.png" "$out/menu_$m.bmp" "$MENU_MATTE"
done
# The same pictures for 144 and 192 DPI. They are drawn pixel by pixel, so
# each pixel becomes a block of pixels (nearest, no blending): at 24 pixels
# every other pixel is doubled, at 32 every pixel.
for s in 24 32; do
    for m in app currentpage pagelist allpages newpage pagesettings general; do
        convert "$tmp/menu_$m.png" -filter point -resize "${s}x${s}!" "PNG32:$tmp/menu_${m}_$s.png"
        keyed "$tmp/menu_${m}_$s.png" "$out/menu_${m}_$s.bmp" "$MENU_MATTE"
    done
done

# Toolbar strip: ten 24 x 26 cells, the picture in the top 24 rows. It sits
# on the textured dialog background.
TOOLBAR_MATTE='rgb(230,230,230)'
cells=""
for t in general specialfolders pages labels edit view font color fileinfo startup; do
    render 24 24 "$tmp/tb_$t.png" "$(tb_$t)"
    convert "$tmp/tb_$t.png" -background none -gravity north -extent 24x26 "PNG32:$tmp/tb_$t.png"
    cells="$cells $tmp/tb_$t.png"
done
# shellcheck disable=SC2086
convert $cells +append "PNG32:$tmp/toolbar.png"
keyed "$tmp/toolbar.png" "$out/toolbar.bmp" "$TOOLBAR_MATTE"
# The strip again for 144 and 192 DPI, each picture drawn anew from its
# shapes at 36 and 48 pixels, in square cells.
for s in 36 48; do
    cells=""
    for t in general specialfolders pages labels edit view font color fileinfo startup; do
        f=$(awk -v s="$s" 'BEGIN { print s / 24 }')
        render "$s" "$s" "$tmp/tb_${t}_$s.png" "scale $f,$f $(tb_$t)"
        cells="$cells $tmp/tb_${t}_$s.png"
    done
    # shellcheck disable=SC2086
    convert $cells +append "PNG32:$tmp/toolbar$s.png"
    keyed "$tmp/toolbar$s.png" "$out/toolbar$s.bmp" "$TOOLBAR_MATTE"
done

# Fixed images of the page list: blanks and the header sort arrows, on white,
# which the image lists treat as transparent.
convert -size 16x16 xc:white -type TrueColor -alpha off -compress none "BMP3:$out/blank16.bmp"
convert -size 32x32 xc:white -type TrueColor -alpha off -compress none "BMP3:$out/blank32.bmp"
convert -size 16x16 xc:white -fill 'rgb(140,20,20)' -draw 'polygon 4,10 11,10 7.5,5' \
    -type TrueColor -alpha off -compress none "BMP3:$out/sortup.bmp"
convert -size 16x16 xc:white -fill 'rgb(140,20,20)' -draw 'polygon 4,6 11,6 7.5,11' \
    -type TrueColor -alpha off -compress none "BMP3:$out/sortdown.bmp"

echo "draw.sh: wrote $(ls "$out" | wc -l) files to $out"
