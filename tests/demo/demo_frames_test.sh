#!/bin/sh
# Plays the whole demo at a fixed step and checks that the frames at the script's landmarks show
# what the script promises there, by properties of their pixels.
# Usage: demo_frames_test.sh path/to/meridian [folder to keep the frames in]
set -eu
meridian=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shots=${2:-$work/shots}
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
passed=0
failed=0

times=5,12,31,40,76.4,78.5,100,145.5,172,180
"$meridian" --window 320x180 --mute --fixed-step 0.05 --until 180.01 --shot $times --out "$shots" > "$work/log" ||
    { echo "FAIL: the demo ended with $?"; tail "$work/log"; exit 1; }
if grep -n -i -E 'error|fail|not definied|unknown|cannot|can.t' "$work/log"; then
    fail "problems logged while playing"
else
    passed=$((passed + 1))
fi

# stat FILE [WxH+X+Y]: mean red, green, blue and brightness, and the brightness deviation, 0..1.
stat() {
    convert "$1" -crop "${2:-320x180+0+0}" +repage \
        -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b] %[fx:mean] %[fx:standard_deviation]\n' info:
}
# expect TIME DESCRIPTION AWK-CONDITION [REGION]: the condition over r g b mean sd of the frame.
expect() {
    file=$shots/$(printf 't%08.3f.png' "$1")
    values=$(stat "$file" "${4:-}")
    if echo "$values" | awk "{ r=\$1; g=\$2; b=\$3; mean=\$4; sd=\$5; exit !($3) }"; then
        passed=$((passed + 1))
    else
        fail "$1 s: $2 (r g b mean sd: $values)"
    fi
}
# brightest TIME DESCRIPTION [REGION]: some pixels are bright: a caption or the logo is on screen.
brightest() {
    file=$shots/$(printf 't%08.3f.png' "$1")
    max=$(convert "$file" -crop "${3:-320x180+0+0}" +repage -colorspace Gray -format '%[fx:maxima]' info:)
    if awk "BEGIN { exit !($max > 0.55) }"; then passed=$((passed + 1)); else fail "$1 s: $2 (brightest $max)"; fi
}

expect 5 "black around the opening caption" "mean < 0.08"
brightest 5 "the opening caption is bright"
expect 12 "black around a caption" "mean < 0.08"
brightest 12 "a caption is bright"
expect 31 "the landscape fading in: sky in the top rows" "b > r && mean > 0.05 && mean < 0.6" 320x20+0+0
expect 40 "the landscape in full: a blue sky at the top" "b > r && mean > 0.35" 320x20+0+0
expect 40 "land and water below the sky" "sd > 0.04" 320x90+0+90
expect 76.4 "near-white" "mean > 0.85"
expect 78.5 "the plasma revealed" "sd > 0.06 && mean < 0.8"
brightest 78.5 "with the gratitude picture"
expect 100 "the plasma with a thanks picture" "sd > 0.06 && mean > 0.08"
expect 145.5 "the plasma with a greeting" "sd > 0.06 && mean > 0.08"
expect 172 "half way to black" "mean < 0.3"
expect 172 "the logo brighter than its surroundings" "mean > 0.06" 200x40+60+35
expect 180 "black around the logo and the last pictures" "mean < 0.1"
brightest 180 "the logo above the middle" 200x40+60+35

echo "demo frames: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
