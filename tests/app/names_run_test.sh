#!/bin/sh
# Names the system allows but that are not UTF-8, or are too long: the program runs from such a
# folder, reads such a --data folder and such entries, and its messages tell them apart.
# Usage: names_run_test.sh path/to/meridian
set -eu
meridian=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
ff=$(printf '\377')

# The executable in a folder named with the byte 0xFF, beside an archive with such entries.
bin="$work/bin$ff"
mkdir "$bin"
cp "$meridian" "$bin/meridian"
python3 - "$bin/data.pak" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1] + ".tmp", "w") as z:
    z.writestr("aX.png", b"not a picture")
    z.writestr("aY.png", b"not a picture either")
    z.writestr("n" * 300 + ".png", b"never found")
data = open(sys.argv[1] + ".tmp", "rb").read().replace(b"aX.", b"a\xfe.").replace(b"aY.", b"a\xff.")
open(sys.argv[1], "wb").write(data)
PY
rm "$bin/data.pak.tmp"
set +e
(cd / && "$bin/meridian" --check-data > "$work/log" 2>&1)
set -e
grep -qF "Checked 0 materials, 0 shaders, 3 images and 0 tunes in $work/bin\\xff/data.pak:" "$work/log" ||
    fail "from a folder named with 0xFF: $(cat "$work/log")"
grep -q '^a\\xfe\.png: error: ' "$work/log" || fail "entry a\\xfe.png: $(cat "$work/log")"
grep -q '^a\\xff\.png: error: ' "$work/log" || fail "entry a\\xff.png: $(cat "$work/log")"
grep -qF "Name is too long to be found in the archive (304 bytes, at most 255)" "$work/log" ||
    fail "a name too long for the archive: $(cat "$work/log")"

# --data with a folder named with 0xFF, holding a file named with it.
data="$work/data$ff"
mkdir "$data"
printf 'not a picture' > "$data/a$ff.png"
set +e
(cd / && "$meridian" --check-data "$data" > "$work/log" 2>&1)
set -e
grep -qF "Checked 0 materials, 0 shaders, 1 images and 0 tunes in $work/data\\xff:" "$work/log" ||
    fail "--data named with 0xFF: $(cat "$work/log")"
grep -q '^a\\xff\.png: error: ' "$work/log" || fail "loose entry a\\xff.png: $(cat "$work/log")"
# Controls in an argument, a folder name or an entry's name never reach the terminal: ESC, BEL,
# C1 controls (CSI, OSC, ST as UTF-8) and a direction override are shown escaped.
esc=$(printf '\033')
osc=$(printf '\302\235')
rlo=$(printf '\342\200\256')
set +e
"$meridian" "--${esc}]0;X$(printf '\007')" > /dev/null 2> "$work/err"; code=$?
set -e
[ $code -eq 2 ] || fail "an option with controls gave $code"
sed -n 1p "$work/err" | grep -qxF 'meridian: unknown option --\x1b]0;X\x07' || fail "option shown: $(cat -v "$work/err")"
touch "$work/plain"
set +e
"$meridian" --window 64x64 --mute --shot 1 --out "$work/plain/${osc}0;X${rlo}" > /dev/null 2> "$work/err"; code=$?
set -e
[ $code -eq 2 ] || fail "an unusable --out gave $code"
sed -n 1p "$work/err" | grep -qF "cannot create $work/plain/\\u009d0;X\\u202e: " || fail "folder shown: $(cat -v "$work/err")"
mkdir "$work/cap$osc"
: > "$work/cap$osc/frame_000000.png"
set +e
"$meridian" --window 64x64 --mute --capture "$work/cap$osc" --fps 1 > /dev/null 2> "$work/err2"; code=$?
set -e
[ $code -eq 2 ] || fail "a used capture folder gave $code"
grep -qF "meridian: --capture $work/cap\\u009d already holds" "$work/err2" || fail "capture folder: $(cat -v "$work/err2")"
data="$work/controls"
mkdir "$data"
printf 'not a picture' > "$data/a${osc}b${rlo}c${esc}.png"
set +e
"$meridian" --check-data "$data" > "$work/log" 2>&1
set -e
grep -qF 'a\u009db\u202ec\x1b.png: error: ' "$work/log" || fail "entry with controls: $(cat -v "$work/log")"
for file in "$work/err" "$work/err2" "$work/log"; do
    if LC_ALL=C grep -q "[$esc$(printf '\007\302')]" "$file" || grep -qF "$rlo" "$file"; then
        fail "a control reached the terminal: $(cat -v "$file")"
    fi
done
echo "names run: 7 passed, 0 failed"
