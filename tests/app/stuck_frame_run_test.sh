#!/bin/bash
# A pixel shader that never leaves its loop: the software driver would wait for it for ever. The
# watchdog ends the run with code 1, naming the world and the material of the stuck shader.
# Usage: stuck_frame_run_test.sh path/to/meridian
set -u
meridian=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The demo's data as a folder, with the plasma's shader looping before anything else it does, from
# the demo time given on. The software driver stops a shader's loops after 65535 rounds in all,
# so the loop stands in for one that never ends by its cost: 200 sines a round, about 10^13
# sines a frame, hours here and minutes on a large machine. Its bound comes from a uniform and
# its result feeds the colour, so the compiler can drop neither.
stuck_data() {
    rm -rf "$work/data"
    python3 - "$(dirname "$meridian")/data.pak" "$work/data" "$1" <<'PY' || fail "no data to change"
import sys, zipfile
zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])
name = sys.argv[2] + "/Plasma.mat"
text = open(name).read()
loop = ("    float spin = 0.0;\n"
        "    float bound = demoTime >= %s ? demoTime + 1e30 : 0.0;\n"
        "    for (float i = 0.0; i < bound; i += 1.0) {\n" % sys.argv[3]
        + "        spin = fract(sin(spin * 12.9898 + i) * 43758.5453);\n" * 200 + "    }\n")
changed = text.replace("void main()\n{\n", "void main()\n{\n" + loop, 1)
changed = changed.replace("gl_FragColor = fadeColor;", "gl_FragColor = fadeColor + spin * 1e-6;", 1)
changed = changed.replace("float t = demoTime * 0.35;", "float t = demoTime * 0.35 + spin;", 1)
if changed.count("spin") != loop.count("spin") + 2:
    sys.exit("Plasma.mat no longer has the lines this test changes")
open(name, "w").write(changed)
PY
}

# Stuck in the first picture (drawn before the frame loop starts), and in a later frame.
while read -r from frames at; do
    stuck_data "$from"
    KORVANTA_NO_MESSAGE_BOX=1 timeout -k 10 60 "$meridian" --window 320x180 --mute --data "$work/data" --scene plasma \
        --fixed-step 0.1 --frames "$frames" > "$work/log" 2>&1
    code=$?
    [ $code -ne 124 ] && [ $code -ne 137 ] || fail "from $from: the stuck frame was never ended"
    [ $code -eq 1 ] || fail "from $from: a stuck frame gave $code: $(tail -5 "$work/log")"
    grep -q "The frame at demo time $at s has not finished after 10 s" "$work/log" ||
        fail "from $from: no message: $(tail -5 "$work/log")"
    grep -q "world 'Plasma', material 'Plasma.mat'" "$work/log" ||
        fail "from $from: the stuck material is not named: $(tail -3 "$work/log")"
done <<'CASES'
0.0 3 0.000
0.25 10 0.300
CASES
# A run stopped (Ctrl-Z, a debugger, a laptop asleep) for longer than the limit in the middle of a
# seek, its frames watched, then resumed, is not stuck: it plays on and ends normally; so does a
# capture, whose frames are not watched.
stuck_data 1e9
for run in "--fixed-step 0.1 --seek 20 --frames 1" "--capture $work/capture --fps 10 --range 20:20.2"; do
    KORVANTA_NO_MESSAGE_BOX=1 "$meridian" --window 320x180 --mute --data "$work/data" --scene plasma $run \
        > "$work/log" 2>&1 &
    pid=$!
    for _ in $(seq 300); do grep -q "seeking to" "$work/log" && break; sleep 0.1; done
    kill -STOP $pid
    sleep 12
    kill -CONT $pid
    wait $pid
    code=$?
    [ $code -eq 0 ] || fail "stopped for 12 s during $run: exit $code: $(tail -c 300 "$work/log")"
done
echo "stuck frame run: 4 passed, 0 failed"
