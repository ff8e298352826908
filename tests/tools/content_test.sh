#!/bin/sh
# Checks the built data.pak with independent tools: every picture the demo shows, and music that
# Ogg tools accept, long enough and not silent.
# With the data folder it also checks that every hand-written file went in unchanged.
# Usage: content_test.sh path/to/data.pak [path/to/data]
set -eu
pak=$1
data=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
passed=0

unzip -Z1 "$pak" > "$work/names" || fail "unzip cannot list $pak"
for name in time.png it-is-time.png whattime1.png whattime2.png whattime3.png whattime4.png \
    married.png married2.png friend.png goodbye.png gratitude.png \
    Thanks/thanks1.png Thanks/thanks2.png Thanks/thanks3.png Thanks/thanks4.png Thanks/thanks5.png \
    adore.png greet1.png greet2.png greet3.png greet4.png greet5.png greet6.png greet7.png \
    greet8.png greet9.png greet10.png greet11.png greet12.png greet13.png greet14.png \
    function.png were-not-dead.png friend-says.png Logo/korvanta.png kv-meridian.ogg; do
    grep -qxF "$name" "$work/names" || fail "$name missing from $pak"
done
passed=$((passed + 1))

unzip -p "$pak" greet7.png > "$work/greet7.png"
python3 - "$work/greet7.png" <<'PY' || fail "pictures must be RGBA PNGs with power-of-two sizes"
import struct, sys
data = open(sys.argv[1], 'rb').read()
width, height, depth, colour = struct.unpack('>IIBB', data[16:26])
assert data[:8] == b'\x89PNG\r\n\x1a\n' and colour == 6 and depth == 8
assert width & (width - 1) == 0 and height & (height - 1) == 0
PY
passed=$((passed + 1))

python3 - "$pak" <<'PY' || fail "every picture must be an 8-bit PNG with 3 or 4 channels"
import struct, sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
pictures = [n for n in archive.namelist() if n.lower().endswith('.png')]
assert len(pictures) >= 35, pictures
for name in pictures:
    data = archive.read(name)
    width, height, depth, colour = struct.unpack('>IIBB', data[16:26])
    assert data[:8] == b'\x89PNG\r\n\x1a\n' and data[12:16] == b'IHDR', name
    assert depth == 8 and colour in (2, 6) and width > 0 and height > 0, (name, depth, colour)
PY
passed=$((passed + 1))

if [ -n "$data" ]; then
    python3 - "$pak" "$data" <<'PY' || fail "the files under $data must be packed unchanged"
import os, sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
assert archive.testzip() is None, "bad CRC"
entries = {info.filename: info for info in archive.infolist()}
for folder, _, files in os.walk(sys.argv[2]):
    for file in files:
        path = os.path.join(folder, file)
        name = os.path.relpath(path, sys.argv[2]).replace(os.sep, '/')
        assert name in entries, name + " missing"
        assert entries[name].compress_type == zipfile.ZIP_DEFLATED, name + " not deflated"
        assert archive.read(name) == open(path, 'rb').read(), name + " differs"
PY
    passed=$((passed + 1))
fi

unzip -p "$pak" kv-meridian.ogg > "$work/music.ogg"
ogginfo "$work/music.ogg" > "$work/ogginfo" 2>&1 || fail "ogginfo refuses the music: $(tail -3 "$work/ogginfo")"
grep -q "Rate: 44100" "$work/ogginfo" || fail "music is not 44.1 kHz"
grep -q "Channels: 2" "$work/ogginfo" || fail "music is not stereo"
passed=$((passed + 1))

oggdec -Q -R -o "$work/music.raw" "$work/music.ogg" || fail "oggdec cannot decode the music"
python3 - "$work/music.raw" <<'PY' || fail "music too short or silent"
import array, sys
samples = array.array('h', open(sys.argv[1], 'rb').read())
seconds = len(samples) / 2 / 44100
assert seconds >= 190, seconds
# Every ten-second stretch up to the closing fade must carry sound.
for start in range(0, 180, 10):
    chunk = samples[start * 88200:(start + 10) * 88200]
    assert max(abs(s) for s in chunk[::7]) > 300, start
PY
passed=$((passed + 1))
echo "content: $passed passed, 0 failed"
