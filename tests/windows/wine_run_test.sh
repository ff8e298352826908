#!/bin/sh
# The Windows program under Wine, end to end: the command line and exit codes, the README's bad
# input (missing archive, names outside a --data folder, device names, a corrupt image), and the
# demo played from a folder whose name has a space and a non-ASCII letter, its frames compared
# with the Linux build's at the same demo times.
# Usage: wine_run_test.sh RUNNER WINEPREFIX meridian.exe data.pak LINUX_MERIDIAN PNGDIFF
set -eu
run=$1 prefix=$2 exe=$3 pak=$4 linux=$5 pngdiff=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() { printf 'FAIL: %s\n' "$*"; failed=$((failed + 1)); }
# meridian FOLDER ARGS...: the program copied into FOLDER, run there under Wine, never for long.
meridian() {
    folder=$1
    shift
    (cd "$folder" && timeout 600 "$run" "$prefix" ./meridian.exe "$@")
}

# The command line: help, version, a bad option.
mkdir "$work/bare"
cp "$exe" "$work/bare/meridian.exe"
code=0; meridian "$work/bare" --help > "$work/out" 2>&1 || code=$?
[ $code -eq 0 ] && grep -q '^usage: meridian' "$work/out" && pass || fail "--help: $code $(cat "$work/out")"
code=0; meridian "$work/bare" --window 640 > /dev/null 2> "$work/err" || code=$?
[ $code -eq 2 ] && [ "$(sed -n 1p "$work/err" | tr -d '\r')" = "meridian: --window needs a size such as 1280x720" ] &&
    pass || fail "bad option: $code $(cat "$work/err")"

# No data.pak beside the program: a fatal error that names the path, exit code 1.
code=0
KORVANTA_NO_MESSAGE_BOX=1 meridian "$work/bare" --window 64x64 --mute > "$work/out" 2> "$work/err" || code=$?
[ $code -eq 1 ] && grep -q '^Korvanta demo system: Cannot open the data archive data\.pak\.' "$work/err" &&
    grep -q 'FAILED! .*bare.data\.pak: No such file or directory' "$work/out" && pass ||
    fail "missing data.pak: $code $(cat "$work/out" "$work/err")"

# A --data folder whose material names files outside it, devices, and a corrupt image: each
# refused or reported, nothing opened, nothing blocking, exit code 1.
data="$work/bare/loose"
mkdir "$data"
printf '\211PNG\r\n\032\nnot really' > "$data/bad.png"
# Image names, so that each one would be opened if it were not refused.
names='..\outside.png C:\windows\x.png \\server\share\x.png CON.png NUL.png com1.png LPT1.jpg aux.png'
{
    printf 'vertexshader v {{\nvoid main() { gl_Position = gl_Vertex; }\n}}\n'
    printf 'pixelshader p {{\nvoid main() { gl_FragColor = vec4(1.0); }\n}}\n'
    printf 'material {\nuseshader v\nuseshader p\n'
    unit=0
    for name in $names bad.png; do printf 'loadtexture %d %s\n' $unit "$name"; unit=$((unit + 1)); done
    printf '}\n'
} > "$data/Names.mat"
code=0; meridian "$work/bare" --check-data loose > "$work/out" 2>&1 || code=$?
tr -d '\r' < "$work/out" > "$work/log"
[ $code -eq 1 ] && pass || fail "--check-data of bad names gave $code: $(cat "$work/log")"
for name in $names; do
    grep -qF "Refused a name outside the data folder: $name" "$work/log" && pass || fail "not refused: $name"
done
grep -qF 'Cannot decode PNG file bad.png' "$work/log" && pass || fail "corrupt image: $(cat "$work/log")"

# The demo from a folder named with a space and an accent, 0 to 190 s, frames into another such
# folder; then the Linux build's frames at the same times.
times=5,40,100,180
play="$work/play é"
mkdir "$play"
cp "$exe" "$play/meridian.exe"
cp "$pak" "$play/data.pak"
code=0
meridian "$play" --window 320x180 --mute --fixed-step 0.04 --until 190 --shot $times --out 'shots é' \
    > "$work/out" 2>&1 || code=$?
[ $code -eq 0 ] && [ -f "$play/shots é/t0100.000.png" ] && pass || fail "the demo under Wine: $code $(tail "$work/out")"
"$linux" --window 320x180 --mute --fixed-step 0.04 --until 190 --shot $times --out "$work/linux" > /dev/null ||
    fail "the Linux demo: $?"
for t in 5 40 100 180; do
    name=$(printf 't%08.3f.png' $t)
    if [ ! -f "$play/shots é/$name" ] || [ ! -f "$work/linux/$name" ]; then
        fail "$t s: a frame is missing"
        continue
    fi
    difference=$(python3 "$pngdiff" "$play/shots é/$name" "$work/linux/$name")
    echo "frame $t s: Windows vs Linux mean difference $difference"
    awk "BEGIN { exit !($difference < 0.02) }" && pass || fail "$t s: frames differ by $difference"
done

echo "wine run: $passed passed, $failed failed"
[ $failed -eq 0 ]
