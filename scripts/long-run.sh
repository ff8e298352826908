#!/bin/sh
# Plays the demo with a fixed step to a demo time of one hour at 320x180 and samples the
# resident memory at every minute of demo time; fails if it grew by 1 MiB or more after the
# first minute. A frame captured at each minute marks the moment (its file appears once the
# demo clock reaches it), so the samples follow demo time, not wall time.
# Usage: scripts/long-run.sh [UNTIL_SECONDS]   (default 3600; needs build/meridian and data.pak)
set -eu
cd "$(dirname "$0")/.."
until=${1:-3600}
program=${MERIDIAN:-build/meridian}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

minutes=$((until / 60))
shots=$(seq -s, 60 60 "$until")
# It plays a minute past the last sample, so that the last one is read while it still runs.
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 640x480x24" "$program" --window 320x180 --mute \
    --fixed-step 0.04 --until "$((until + 60))" --shot "$shots" --out "$work/shots" > "$work/log" 2>&1 &
runner=$!

pid=""
echo "minute rss_kib"
sample=1
first=""
last=""
while [ "$sample" -le "$minutes" ]; do
    [ -n "$pid" ] || pid=$(pgrep -n -f "^$program --window 320x180 --mute --fixed-step 0.04 --until $((until + 60)) " || true)
    shot=$(printf '%s/shots/t%08.3f.png' "$work" "$((sample * 60))")
    if [ -f "$shot" ] && [ -n "$pid" ]; then
        rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
        [ -n "$rss" ] || break
        echo "$sample $rss"
        [ -n "$first" ] || first=$rss
        last=$rss
        sample=$((sample + 1))
        continue
    fi
    if ! kill -0 "$runner" 2>/dev/null; then break; fi
    sleep 0.05
done
wait "$runner" || { echo "long run FAILED: the program ended with an error"; tail -5 "$work/log"; exit 1; }
[ -n "$first" ] && [ -n "$last" ] || { echo "long run FAILED: no samples"; exit 1; }
growth=$((last - first))
echo "growth after the first minute: $growth KiB"
[ "$growth" -lt 1024 ] || { echo "long run FAILED: memory grew by $growth KiB"; exit 1; }
echo "long run: memory flat over $minutes minutes of demo time"
