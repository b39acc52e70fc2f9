#!/bin/bash
# Draws the program's pictures with ImageMagick: the program's icon and the
# .nbnx files' icon (16, 32, 48 and 256 pixels), the header logo (200 x 50)
# and the About picture (163 x 50), each also at 1.5 and 2 times. The results
# are kept in the repository; run this only to change them.
set -eu
cd "$(dirname "$0")"
convert=/usr/bin/convert
blue='#1f4e79'
steel='#5b7fa6'
gold='#e0a526'
grey='#6b7785'
paper_fold='#d5dce4'

# A padlock: shackle arc over a rounded body with a keyhole, on SIZE x SIZE.
padlock() {
    local size=$1 background=$2 out=$3
    local s=$((size))
    "$convert" -size "${s}x${s}" "xc:$background" \
        -fill none -stroke "$steel" -strokewidth $((s / 9 + 1)) \
        -draw "arc $((s * 27 / 100)),$((s * 8 / 100)) $((s * 73 / 100)),$((s * 62 / 100)) 180,360" \
        -draw "line $((s * 27 / 100)),$((s * 35 / 100)) $((s * 27 / 100)),$((s * 48 / 100))" \
        -draw "line $((s * 73 / 100)),$((s * 35 / 100)) $((s * 73 / 100)),$((s * 48 / 100))" \
        -stroke none -fill "$blue" \
        -draw "roundrectangle $((s * 14 / 100)),$((s * 44 / 100)) $((s * 86 / 100)),$((s * 94 / 100)) $((s / 12 + 1)),$((s / 12 + 1))" \
        -fill "$gold" \
        -draw "circle $((s / 2)),$((s * 63 / 100)) $((s / 2)),$((s * 56 / 100))" \
        -draw "rectangle $((s * 47 / 100)),$((s * 63 / 100)) $((s * 53 / 100)),$((s * 82 / 100))" \
        "$out"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 16 32 48 256; do
    padlock "$size" none "$work/icon-$size.png"
done
"$convert" "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$work/icon-256.png" \
    NBNimbra.ico

# A .nbnx file: a white page with a folded corner and a small padlock on it,
# so that Explorer's files are told apart from the program itself.
document() {
    local s=$1 out=$2
    local left=$((s * 14 / 100)) top=$((s * 3 / 100)) right=$((s * 86 / 100)) bottom=$((s * 97 / 100))
    local fold=$((s * 26 / 100)) edge=$((s / 40 + 1)) lock=$((s * 9 / 16))
    padlock "$lock" none "$work/small-lock.png"
    "$convert" -size "${s}x${s}" xc:none \
        -fill white -stroke "$grey" -strokewidth "$edge" \
        -draw "polygon $left,$top $((right - fold)),$top $right,$((top + fold)) $right,$bottom $left,$bottom" \
        -fill "$paper_fold" \
        -draw "polygon $((right - fold)),$top $((right - fold)),$((top + fold)) $right,$((top + fold))" \
        "$work/small-lock.png" -geometry "+$(((s - lock) / 2))+$((s * 40 / 100))" -composite \
        "$out"
}

for size in 16 32 48 256; do
    document "$size" "$work/document-$size.png"
done
"$convert" "$work/document-16.png" "$work/document-32.png" "$work/document-48.png" \
    "$work/document-256.png" NBNimbraDocument.ico

# A padlock beside the program's name, on a WIDTH x 50 picture drawn at SCALE
# percent: each display scale gets a picture drawn for it, not a stretched one.
banner() {
    local width=$1 background=$2 title_size=$3 text_x=$4 scale=$5 out=$6
    sc() { echo $((($1 * scale + 50) / 100)); }
    padlock "$(sc 44)" "$background" "$work/lock.png"
    "$convert" -size "$(sc "$width")x$(sc 50)" "xc:$background" \
        "$work/lock.png" -geometry "+$(sc 3)+$(sc 3)" -composite \
        -font DejaVu-Sans-Bold -pointsize "$(sc "$title_size")" -fill "$blue" \
        -annotate "+$(sc "$text_x")+$(sc 24)" 'NB Nimbra' \
        -font DejaVu-Sans -pointsize "$(sc $((title_size * 3 / 5)))" -fill "$steel" \
        -annotate "+$(sc $((text_x + 1)))+$(sc 42)" 'Vexal Edition' \
        -type TrueColor "BMP3:$out"
}

banner 200 white 20 52 100 logo.bmp
banner 163 white 17 50 100 about.bmp
for scale in 150 200; do
    banner 200 white 20 52 "$scale" "logo-$scale.bmp"
    banner 163 white 17 50 "$scale" "about-$scale.bmp"
done
