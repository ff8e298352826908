#!/bin/sh
# The program's additions for demo makers, end to end: the start-up check of OpenGL features,
# letterboxing, exact capture, seeking, looping, the developer overlay and the installed release.
# Usage: makers_run_test.sh path/to/meridian
set -eu
meridian=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
passed=0
pass() { passed=$((passed + 1)); }

# A driver without a needed feature: the message names it instead of a crash or a black screen.
set +e
KORVANTA_NO_MESSAGE_BOX=1 MESA_EXTENSION_OVERRIDE=-GL_EXT_framebuffer_multisample \
    "$meridian" --window 320x180 --frames 3 --mute > /dev/null 2> "$work/err"
set -e
grep -qx 'Korvanta demo system: This demo cannot run here. The driver lacks multisampled render buffers (GL_EXT_framebuffer_multisample).' \
    "$work/err" || fail "missing feature message: $(cat "$work/err")"
pass

# Letterboxing: a square window shows the 16:9 picture between black bars, the same picture as a
# 16:9 window of the same width; without the option the picture fills the window.
pngdiff="$(dirname "$0")/../support/pngdiff.py"
"$meridian" --window 800x800 --aspect 16:9 --letterbox --mute --scene plasma --fixed-step 0.04 --shot 2 \
    --out "$work/boxed" > /dev/null || fail "letterboxed run"
"$meridian" --window 800x450 --mute --scene plasma --fixed-step 0.04 --shot 2 --out "$work/wide" > /dev/null \
    || fail "16:9 run"
"$meridian" --window 800x800 --aspect 16:9 --mute --scene plasma --fixed-step 0.04 --shot 2 --out "$work/filled" \
    > /dev/null || fail "stretched run"
python3 "$pngdiff" "$work/boxed/t0002.000.png" --rows > "$work/rows"
[ "$(sed -n '1,175p;626,800p' "$work/rows" | sort -u)" = "0" ] || fail "letterbox bars are not black"
[ "$(sed -n '176,625p' "$work/rows" | grep -c '^0$')" -eq 0 ] || fail "black rows inside the letterboxed picture"
difference=$(python3 "$pngdiff" "$work/boxed/t0002.000.png" "$work/wide/t0002.000.png" --crop-a 0,175,800,450)
python3 -c "import sys; sys.exit(0 if float('$difference') < 0.01 else 1)" \
    || fail "letterboxed picture differs from the 16:9 frame by $difference"
python3 "$pngdiff" "$work/filled/t0002.000.png" --rows | grep -q '^0$' && fail "a picture without --letterbox has black rows"
pass

# Capture: 2 s at 30 fps gives 60 numbered frames and 2 s of sound, with no audio device opened.
SDL_AUDIODRIVER=no-such-driver "$meridian" --window 320x180 --scene plasma --capture "$work/capture" --fps 30 \
    --range 1:3 > /dev/null 2>&1 || fail "capture run"
[ "$(ls "$work/capture" | grep -c '^frame_[0-9]\{6\}\.png$')" -eq 60 ] || fail "capture frames: $(ls "$work/capture")"
[ -f "$work/capture/frame_000059.png" ] || fail "capture numbering"
python3 - "$work/capture/audio.wav" <<'PY' || fail "capture sound"
import struct, sys
data = open(sys.argv[1], 'rb').read()
channels, rate = struct.unpack('<HI', data[22:28])
frames = struct.unpack('<I', data[40:44])[0] // (2 * channels)
assert (rate, frames, len(data)) == (44100, 88200, 44 + frames * 2 * channels), (rate, frames, len(data))
PY
if command -v ffprobe > /dev/null; then
    [ "$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 \
        "$work/capture/meridian.mp4")" = 60 ] || fail "capture video"
fi
pass

# A capture stopped part-way (a signal, the close box) says so and fails, with no sound or video
# that would pass for the whole span; a second capture into a folder in use is refused, and the
# first goes on unharmed.
set +e
"$meridian" --window 320x180 --scene plasma --capture "$work/stopped" --fps 30 --range 0:60 > "$work/stopped.log" 2>&1 &
pid=$!
for _ in $(seq 300); do grep -q "capture \[" "$work/stopped.log" && break; sleep 0.1; done
"$meridian" --window 320x180 --scene plasma --capture "$work/stopped" --fps 30 --range 0:1 > "$work/second.log" 2>&1
[ $? -eq 2 ] || fail "a second capture into a folder in use: $(cat "$work/second.log")"
grep -q "another capture is writing into" "$work/second.log" || fail "second capture: $(cat "$work/second.log")"
kill -TERM $pid
wait $pid
[ $? -eq 1 ] || fail "a capture stopped by a signal did not fail"
grep -q "The capture was stopped after [0-9]* of its 1800 frames" "$work/stopped.log" || fail "stopped: $(tail -c 300 "$work/stopped.log")"
[ ! -e "$work/stopped/audio.wav" ] || fail "a stopped capture left its sound"
[ ! -e "$work/stopped/capture.lock" ] || fail "a stopped capture left its lock"
ls "$work/stopped" | grep -v -q '^frame_[0-9]\{6\}\.png$' && fail "a stopped capture left $(ls "$work/stopped")"
set -e
pass

# Seeking gives the picture of a run played up to that time with the same step: the drift scene's
# feedback buffer, and the whole demo's cues, fades and picture events.
"$meridian" --window 320x180 --mute --scene drift --fixed-step 0.04 --shot 20 --out "$work/played" > /dev/null \
    || fail "drift run"
"$meridian" --window 320x180 --mute --scene drift --fixed-step 0.04 --seek 20 --frames 1 --shot 20 \
    --out "$work/sought" > /dev/null || fail "drift seek"
difference=$(python3 "$pngdiff" "$work/played/t0020.000.png" "$work/sought/t0020.000.png")
python3 -c "import sys; sys.exit(0 if float('$difference') < 0.01 else 1)" || fail "drift seek differs by $difference"
"$meridian" --window 320x180 --mute --fixed-step 0.1 --shot 5,31,40,76.4,100,145.5,172,180 --out "$work/demo" > /dev/null \
    || fail "demo run"
for t in 5 31 40 76.4 100 145.5 172 180; do
    "$meridian" --window 320x180 --mute --fixed-step 0.1 --seek $t --frames 1 --shot $t --out "$work/demo-seek" \
        > /dev/null || fail "demo seek to $t"
    name=$(printf 't%08.3f.png' $t)
    difference=$(python3 "$pngdiff" "$work/demo/$name" "$work/demo-seek/$name")
    python3 -c "import sys; sys.exit(0 if float('$difference') < 0.01 else 1)" || fail "seek to $t differs by $difference"
done
pass

# A loop replays its span from a fresh demo: the clock goes round and the run ends cleanly.
"$meridian" --window 320x180 --mute --scene drift --fixed-step 0.1 --loop 2:3 --frames 25 \
    --frame-times "$work/loop.csv" > /dev/null || fail "loop run"
[ "$(cut -d, -f1 "$work/loop.csv" | grep -c '^2\.0')" -eq 2 ] || fail "loop: $(cut -d, -f1 "$work/loop.csv" | tr '\n' ' ')"
[ "$(cut -d, -f1 "$work/loop.csv" | sed 1d | sort -n | tail -1)" = "2.9000" ] || fail "loop passes its end"
pass

# The developer overlay is drawn only with --dev: its window covers the top left of the picture.
"$meridian" --window 640x360 --mute --scene plasma --dev --fixed-step 0.04 --shot 2 --out "$work/dev" > /dev/null \
    || fail "dev run"
"$meridian" --window 640x360 --mute --scene plasma --fixed-step 0.04 --shot 2 --out "$work/plain" > /dev/null \
    || fail "plain run"
difference=$(python3 "$pngdiff" "$work/dev/t0002.000.png" "$work/plain/t0002.000.png")
python3 -c "import sys; sys.exit(0 if float('$difference') > 0.02 else 1)" || fail "no overlay with --dev ($difference)"
pass

# The release folder, installed and moved elsewhere, plays from an unrelated working directory.
if [ -n "${KORVANTA_BUILD_DIR:-}" ]; then
    cmake --install "$KORVANTA_BUILD_DIR" --prefix "$work/installed" > /dev/null || fail "install"
    for file in meridian data.pak README.md; do [ -f "$work/installed/$file" ] || fail "installed $file missing"; done
    mv "$work/installed" "$work/moved"
    mkdir "$work/elsewhere"
    (cd "$work/elsewhere" && "$work/moved/meridian" --window 320x180 --frames 60 --mute > /dev/null) \
        || fail "the installed copy does not play"
    pass
fi

echo "makers run: $passed passed, 0 failed"
