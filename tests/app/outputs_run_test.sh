#!/bin/bash
# Options that could hang the run or lose its output, end to end: long seeks answer the window,
# every output the user asked for is written whole or the run fails naming it.
# Usage: outputs_run_test.sh path/to/meridian
set -u
meridian=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
passed=0
pass() { passed=$((passed + 1)); }
run() { KORVANTA_NO_MESSAGE_BOX=1 timeout -k 10 120 "$meridian" --window 320x180 --mute "$@"; }

# A seek far out keeps pumping events: the quit that SIGINT queues ends it at once, with code 0.
for args in "--seek 1e9" "--scene plasma --capture $work/far --fps 30 --range 1e12:1.000000000001e12"; do
    KORVANTA_NO_MESSAGE_BOX=1 timeout -k 10 60 "$meridian" --window 320x180 --mute $args > /dev/null 2> "$work/err" &
    pid=$!
    sleep 15
    kill -INT $pid
    wait $pid; code=$?
    [ $code -ne 124 ] && [ $code -ne 137 ] || fail "$args: Escape is not read while seeking"
    grep -q 'seeking to .* Escape stops' "$work/err" || fail "$args: no progress line: $(cat "$work/err")"
done
pass

# A shot whose file cannot be written: a folder stands in its place, or the disk fills up (a file
# size limit stands in for it). Exit 1, the file named, no partial file left.
mkdir -p "$work/shots/t0000.500.png/x"
run --scene plasma --fixed-step 0.1 --shot 0.5 --out "$work/shots" > "$work/log"; code=$?
[ $code -eq 1 ] || fail "shot over a folder gave $code"
grep -q "Cannot write $work/shots/t0000.500.png: " "$work/log" || fail "shot over a folder: $(cat "$work/log")"
mkdir "$work/full"
# The log goes through a pipe: the size limit would cut a log file short too.
(ulimit -f 2; trap '' XFSZ; run --scene plasma --fixed-step 0.1 --shot 0.5 --out "$work/full") | cat > "$work/log"
code=${PIPESTATUS[0]}
[ $code -eq 1 ] || fail "shot into a full disk gave $code"
grep -q "Cannot write $work/full/t0000.500.png: File too large" "$work/log" || fail "full disk: $(cat "$work/log")"
[ -z "$(ls "$work/full")" ] || fail "a partial picture is left: $(ls "$work/full")"
pass

# Frame times that cannot be written.
for target in /dev/full "$work"; do
    run --scene plasma --fixed-step 0.1 --frames 3 --frame-times "$target" > "$work/log"; code=$?
    [ $code -eq 1 ] || fail "--frame-times $target gave $code"
    grep -q "frame times are lost: Cannot write $target" "$work/log" || fail "--frame-times $target: $(cat "$work/log")"
done
pass

# Shots the run never reached, and shots that would share a file.
run --scene plasma --fixed-step 0.1 --frames 10 --shot 100 --out "$work/early" > "$work/log"; code=$?
[ $code -eq 1 ] || fail "an unreached shot gave $code"
grep -q "No picture for --shot 100: the run ended at demo time" "$work/log" || fail "unreached: $(cat "$work/log")"
run --shot 0.0011,0.0014 --out "$work/same" > /dev/null 2> "$work/err"; code=$?
[ $code -eq 2 ] || fail "shots naming one file gave $code"
pass

# A capture into the folder of an earlier one is refused; a frame that cannot be written is named.
run --scene plasma --capture "$work/cap" --fps 10 --range 0:0.5 > /dev/null 2>&1 || fail "first capture"
run --scene plasma --capture "$work/cap" --fps 10 --range 0:0.2 > /dev/null 2> "$work/err"; code=$?
[ $code -eq 2 ] || fail "capture over an earlier one gave $code"
grep -q "already holds the frames of a capture" "$work/err" || fail "earlier capture: $(cat "$work/err")"
(ulimit -f 2; trap '' XFSZ; run --scene plasma --capture "$work/cap2" --fps 10 --range 0:0.5 2>&1) | cat > "$work/log"
code=${PIPESTATUS[0]}
[ $code -eq 1 ] || fail "capture into a full disk gave $code"
grep -q "stopped at frame 0: Cannot write $work/cap2/frame_000000.png: File too large" "$work/log" ||
    fail "capture error: $(cat "$work/log")"
grep -q "the span holds no frame" "$work/log" && fail "a write error reported as an empty span"
# A span of a trillion frames: the time left is more minutes than an int holds.
run --scene plasma --capture "$work/long" --fps 1000 --range 0:1e9 --frames 2 > /dev/null 2> "$work/err" ||
    fail "a long capture"
tr '\r' '\n' < "$work/err" | grep -q 'frames/s  [0-9]\{6,\}:[0-5][0-9] left' ||
    fail "long capture progress: $(tr '\r' '\n' < "$work/err" | grep 'left')"
pass

# A full-screen mode the display does not have: the fallback to a window is said.
KORVANTA_NO_MESSAGE_BOX=1 timeout -k 10 60 "$meridian" --fullscreen 1000x999 --mute --frames 2 > "$work/log" ||
    fail "fullscreen fallback run"
grep -q "The display has no mode 1000x999: playing in a window" "$work/log" || fail "fallback: $(cat "$work/log")"
pass

echo "outputs run: $passed passed, 0 failed"
