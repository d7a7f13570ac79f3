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
# the 3-D greys) are nudged by one step.
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

# Gradients (named, vertical unless stated). A url() fill must stay inside
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
# F pixels per unit, O outline width in units.
app_big() {
    f=$1; o=$2
    c() { awk "BEGIN { printf \"%.4f\", $* }"; }
    printf 'scale %s,%s push defs ' "$f" "$f"
    grad page 10 30 "$PAGE_HI" "$PAGE_LO"
    grad coral 2 16 "$CORAL_HI" "$CORAL_LO"
    grad amber 5 12 "$AMBER_HI" "$AMBER_LO"
    grad teal 5 12 "$TEAL_HI" "$TEAL_LO"
    grad blue 16 20 "$BLUE_HI" "$BLUE_LO"
    grad green 22 26 "$GREEN_HI" "$GREEN_LO"
    printf 'pop defs stroke none '
    # back tabs
    printf "fill '%s' roundrectangle 12,5 21.5,14 2,2 " "$AMBER_LINE"
    gfill amber "roundrectangle $(c 12+$o),$(c 5+$o) $(c 21.5-$o),14 $(c 2-$o),$(c 2-$o)"
    printf "fill '%s' roundrectangle 20.5,5 30,14 2,2 " "$TEAL_LINE"
    gfill teal "roundrectangle $(c 20.5+$o),$(c 5+$o) $(c 30-$o),14 $(c 2-$o),$(c 2-$o)"
    # page outline, then the coral tab and band over its top
    printf "fill '%s' roundrectangle 2,10 30,30 2.5,2.5 " "$PAGE_LINE"
    printf "fill '%s' roundrectangle 2,2 12,17 2,2 roundrectangle 2,10 30,17 2.5,2.5 " "$CORAL_LINE"
    gfill coral "roundrectangle $(c 2+$o),$(c 2+$o) $(c 12-$o),17 $(c 2-$o),$(c 2-$o)"
    gfill coral "roundrectangle $(c 2+$o),$(c 10+$o) $(c 30-$o),17 $(c 2.5-$o),$(c 2.5-$o)"
    # page body below the band
    printf "fill '%s' rectangle $(c 2+$o),14 $(c 30-$o),15 " "$CORAL_LINE"
    gfill page "rectangle $(c 2+$o),$(c 14+$o) $(c 30-$o),22"
    gfill page "roundrectangle $(c 2+$o),$(c 14+$o) $(c 30-$o),$(c 30-$o) $(c 2.5-$o),$(c 2.5-$o)"
    # entries
    printf "fill '%s' roundrectangle 6,17 11,22 1,1 " "$BLUE_LINE"
    gfill blue "roundrectangle $(c 6+$o),$(c 17+$o) $(c 11-$o),$(c 22-$o) $(c 1-$o/2),$(c 1-$o/2)"
    printf "fill '%s' roundrectangle 6,23.5 11,28.5 1,1 " "$GREEN_LINE"
    gfill green "roundrectangle $(c 6+$o),$(c 23.5+$o) $(c 11-$o),$(c 28.5-$o) $(c 1-$o/2),$(c 1-$o/2)"
    printf "fill '%s' roundrectangle 13,18.5 26,20.5 0.6,0.6 roundrectangle 13,25 22,27 0.6,0.6 " "$PAGE_TEXT"
}

# The 16 pixel icon, drawn pixel by pixel: shapes on whole pixels only.
app_16() {
    printf 'push defs '
    grad page 7 15 "$PAGE_HI" "$PAGE_LO"
    grad coral 1 7 "$CORAL_HI" "$CORAL_LO"
    printf 'pop defs stroke none '
    # back tabs
    printf "fill '%s' rectangle 6,2 10,6 " "$AMBER_LINE"
    printf "fill '%s' rectangle 7,3 9,6 " "$AMBER_LO"
    printf "fill '%s' rectangle 10,2 15,6 " "$TEAL_LINE"
    printf "fill '%s' rectangle 11,3 14,6 " "$TEAL_LO"
    printf "fill '%s' rectangle 7,3 9,4 rectangle 11,3 14,4 " "#ffe08a"
    printf "fill '%s' rectangle 11,3 14,4 " "#7fdccb"
    # corner pixels of the back tabs, half covered
    printf "fill '%s' rectangle 14,2 15,3 fill '%s' rectangle 6,2 7,3 " "#136b6080" "#a86f1280"
    # page and coral tab
    printf "fill '%s' rectangle 1,5 15,15 " "$PAGE_LINE"
    printf "fill '%s' rectangle 1,1 6,8 rectangle 1,5 15,8 " "$CORAL_LINE"
    gfill coral "rectangle 2,2 5,8 rectangle 2,6 14,8"
    printf "fill '%s' rectangle 1,1 2,2 rectangle 5,1 6,2 " "#a8392a70"
    gfill page "rectangle 2,8 14,14"
    # entries
    printf "fill '%s' rectangle 3,9 6,11 " "$BLUE_LO"
    printf "fill '%s' rectangle 3,12 6,14 " "$GREEN_LO"
    printf "fill '%s' rectangle 7,9.5 12,10.5 rectangle 7,12.5 11,13.5 " "$PAGE_TEXT"
}
