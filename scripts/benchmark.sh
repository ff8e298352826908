#!/bin/sh
# Frame cost of each scene and of each span of the demo, next to a floor program of the demo's
# frame structure measured in the same run (when FLOOR_DIR names its folder, one holding a
# build.sh that builds it); the demo's spans come from the program's --benchmark table. Not a
# test: it prints.
# Usage: [FLOOR_DIR=DIR] scripts/benchmark.sh [WxH ...]   (default 640x360 1280x720; build/ must be built)
set -e
cd "$(dirname "$0")/.."
sizes=${*:-640x360 1280x720}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
floor=""
dir=${FLOOR_DIR:-}
if [ -n "$dir" ] && [ -f "$dir/build.sh" ]; then
    sh "$dir/build.sh" "$work/floor" > /dev/null && floor="$work/floor"
fi
[ -n "$floor" ] || echo "no floor program found (set FLOOR_DIR): scene times only" >&2
echo "# $(uptime)"
run() { xvfb-run -a -s "-screen 0 1920x1080x24" "$@"; }

for size in $sizes; do
    echo "== $size   # load $(cut -d" " -f1-3 /proc/loadavg)"
    if [ -n "$floor" ]; then
        run "$floor" --sizes "$size" --only A,B,C --frames 150 --warmup 20 > "$work/floor-$size.txt" 2>&1 || true
        grep -v '^#' "$work/floor-$size.txt" | sed 's/^/floor  /' || true
    fi
    for scene in terrain plasma drift logo; do
        run build/meridian --window "$size" --mute --scene "$scene" --fixed-step 0.04 --frames 150 \
            --frame-times "$work/$scene-$size.csv" > /dev/null
    done
    python3 - "$work" "$size" <<'PY'
import csv, statistics, sys
work, size = sys.argv[1], sys.argv[2]
def times(name, warmup=20):
    rows = list(csv.reader(open(f"{work}/{name}-{size}.csv")))[1:]
    return rows[warmup:]
# The CPU time (all threads) is not inflated by other programs on a shared machine; the wall
# time is what the floor program reports.
def line(label, rows):
    ms = sorted(float(r[1]) for r in rows)
    cpu = [float(r[2]) for r in rows]
    if ms:
        p95 = ms[min(len(ms) - 1, int(len(ms) * 0.95))]
        print(f"{label:28s} median {statistics.median(ms):7.1f} ms   p95 {p95:7.1f} ms   "
              f"cpu {statistics.median(cpu):7.1f} ms   frames {len(ms)}")
for scene in ("terrain", "plasma", "drift", "logo"):
    line(f"scene {scene}", times(scene))
PY
    # The demo's scene spans: the program's own benchmark table.
    run build/meridian --window "$size" --benchmark | sed -n '/^Benchmark at/,$p'
done
