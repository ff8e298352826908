#!/bin/sh
# Runs the program end to end: start-up log order, a captured frame, bad options, a fatal error.
# Usage: meridian_run_test.sh path/to/meridian
set -eu
meridian=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$meridian" --window 640x360 --frames 60 --mute > "$work/log" || fail "exit code $?"
grep -n -E '^(Initializing OpenGL\.\.\.|OPENGL :: (Vendor|Renderer|Version|Maximum texture size): .+|Initializing engine\.\.\.)$' \
    "$work/log" | cut -d: -f1 | tr '\n' ' ' > "$work/order"
sorted=$(tr ' ' '\n' < "$work/order" | sed '/^$/d' | sort -n | tr '\n' ' ')
[ "$(wc -w < "$work/order")" -eq 6 ] || fail "start-up lines missing: $(cat "$work/log")"
[ "$(cat "$work/order")" = "$sorted" ] || fail "start-up lines out of order"
sed -n 1p "$work/log" | grep -qx 'Initializing OpenGL...' || fail "first line"

"$meridian" --window 640x360 --mute --fixed-step 0.02 --shot 0.5 --out "$work/shots" > /dev/null || fail "shot run"
python3 - "$work/shots/t0000.500.png" <<'PY' || fail "captured frame"
import struct, sys
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n'
assert struct.unpack('>II', data[16:24]) == (640, 360), struct.unpack('>II', data[16:24])
PY

SDL_AUDIODRIVER=dummy "$meridian" --window 640x360 --frames 200 > "$work/log" || fail "run with music: $?"
grep -q "Initializing resource factory..." "$work/log" || fail "run with music: no archive"

set +e
"$meridian" --window 640 > /dev/null 2> "$work/err"; code=$?
set -e
[ $code -eq 2 ] || fail "bad option gave $code"
[ "$(sed -n 1p "$work/err")" = "meridian: --window needs a size such as 1280x720" ] || fail "bad option message"
grep -q '^usage: meridian' "$work/err" || fail "usage after a bad option"

touch "$work/file"
set +e
"$meridian" --window 640x360 --mute --shot 1 --out "$work/file/shots" > /dev/null 2> "$work/err"; code=$?
set -e
[ $code -eq 2 ] || fail "unusable --out folder gave $code"
sed -n 1p "$work/err" | grep -q "^meridian: cannot create $work/file/shots: " || fail "--out message: $(cat "$work/err")"

set +e
DISPLAY=:987 SDL_VIDEODRIVER=x11 KORVANTA_NO_MESSAGE_BOX=1 "$meridian" --window 640x360 --mute \
    > /dev/null 2> "$work/err"; code=$?
set -e
[ $code -eq 1 ] || fail "a fatal error must end with code 1, not $code"
grep -qx 'Korvanta demo system: Cannot create Window!' "$work/err" || fail "fatal message: $(cat "$work/err")"

# A library's exception (here: no current folder to make --data absolute) is a fatal error too.
mkdir "$work/gone"
set +e
(cd "$work/gone" && rmdir "$work/gone" && KORVANTA_NO_MESSAGE_BOX=1 "$meridian" --window 64x64 --mute --data x \
    > /dev/null 2> "$work/err"); code=$?
set -e
[ $code -eq 1 ] || fail "a library exception must end with code 1, not $code"
grep -q '^Korvanta demo system: filesystem error' "$work/err" || fail "library exception message: $(cat "$work/err")"

# No usable archive: the reason in the log, then a fatal error naming it (it played black before).
: > "$work/empty.pak"
printf 'not a zip' > "$work/text.pak"
mkfifo "$work/fifo.pak"
for case in "missing.pak:No such file or directory" "empty.pak:the file is empty" \
            "text.pak:not a ZIP archive" "nofolder/:No such file or directory" "fifo.pak:not a regular file"; do
    name=${case%%:*}
    set +e
    KORVANTA_NO_MESSAGE_BOX=1 timeout 60 "$meridian" --window 64x64 --mute --data "$work/$name" \
        > "$work/log" 2> "$work/err"; code=$?
    set -e
    [ $code -eq 1 ] || fail "$name: exit code $code"
    grep -qF "FAILED! $work/$name: ${case#*:}" "$work/log" || fail "$name: reason: $(cat "$work/log")"
    grep -qxF "Korvanta demo system: Cannot open the data archive $work/$name." "$work/err" ||
        fail "$name: fatal message: $(cat "$work/err")"
done
# No display at all: SDL would fall back to drawing offscreen and play unseen; a run must fail and
# say so, while the offscreen driver asked for by name stays usable.
for run in "--window 64x64 --mute --frames 3" ""; do
    set +e
    # shellcheck disable=SC2086
    env -u DISPLAY -u WAYLAND_DISPLAY KORVANTA_NO_MESSAGE_BOX=1 timeout 60 "$meridian" $run > /dev/null 2> "$work/err"
    code=$?
    set -e
    [ $code -eq 1 ] || fail "no display (${run:-dialog}): exit code $code"
    grep -q '^Korvanta demo system: \(The settings dialog cannot open: \)\?No display to show the demo on' "$work/err" ||
        fail "no display: $(cat "$work/err")"
done
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen timeout 60 "$meridian" --window 64x64 --mute --frames 3 \
    > /dev/null 2>&1 || fail "the offscreen driver chosen by name: exit code $?"

# The text scene without any font installed: an error naming the fonts, not a blank window.
mkdir "$work/fonts"
printf '<?xml version="1.0"?>\n<fontconfig><dir>%s/fonts/none</dir><cachedir>%s/fonts</cachedir></fontconfig>\n' \
    "$work" "$work" > "$work/fonts/fonts.conf"
set +e
FONTCONFIG_FILE="$work/fonts/fonts.conf" KORVANTA_NO_MESSAGE_BOX=1 "$meridian" --window 64x64 --mute --scene text \
    --frames 3 > /dev/null 2> "$work/err"; code=$?
set -e
[ $code -eq 1 ] || fail "text scene without fonts: exit code $code"
grep -qF "cannot open the font 'DejaVu Serif' nor its stand-in 'DejaVu Sans'" "$work/err" ||
    fail "text scene without fonts: $(cat "$work/err")"
echo "meridian run: 11 passed, 0 failed"
