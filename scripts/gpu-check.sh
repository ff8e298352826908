#!/bin/sh
# One short check on a machine with a real GPU: builds if needed, names the driver, checks the
# data, takes the landmark frames on the GPU and on llvmpipe (the same build, the same steps) and
# compares them, lists every GL error line and incomplete render target, and prints the
# benchmark table. Not a test: it prints, and ends with 1 only when the program failed to run.
# Usage: scripts/gpu-check.sh [WxH]   (default 1920x1080)
# GPU_CHECK_STEP sets the fixed step of the frame runs (default 0.25 s: llvmpipe has to draw
# every step of the landscape at full size).
set -eu
cd "$(dirname "$0")/.."
size=${1:-1920x1080}
step=${GPU_CHECK_STEP:-0.25}
landmarks="5,12,31,40,76.4,78.5,100,145.5,172,180"
out=${GPU_CHECK_OUT:-$(mktemp -d)}
mkdir -p "$out"
export KORVANTA_NO_MESSAGE_BOX=1

if [ ! -x build/meridian ] || [ ! -f build/data.pak ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$out/build.log" 2>&1
    cmake --build build -j"$(nproc)" >> "$out/build.log" 2>&1 || { tail -20 "$out/build.log"; exit 1; }
fi

# Without a display, SDL's offscreen driver gives an EGL context of the GPU.
if [ -z "${DISPLAY:-}" ]; then
    export SDL_VIDEODRIVER=offscreen
    echo "# no DISPLAY: SDL's offscreen (EGL) video driver"
fi
# Mesa's software renderer, whatever vendor library the GPU's driver installed.
software() {
    env LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe __GLX_VENDOR_LIBRARY_NAME=mesa \
        __EGL_VENDOR_LIBRARY_FILENAMES=/usr/share/glvnd/egl_vendor.d/50_mesa.json "$@"
}
failed=0
run() {  # run NAME command...: the log in $out/NAME.log
    name=$1
    shift
    "$@" > "$out/$name.log" 2>&1 || { echo "!! $name exited with $?: $(tail -2 "$out/$name.log")"; failed=1; }
}

echo "# $(uptime)"
echo "== driver"
run driver build/meridian --window 64x64 --frames 1 --mute
grep -E '^OPENGL :: (Vendor|Renderer|Version)' "$out/driver.log" || cat "$out/driver.log"

echo "== data check"
run check build/meridian --check-data
tail -1 "$out/check.log"

echo "== landmark frames at $size, step $step s: GPU against llvmpipe (mean difference of full scale)"
run gpu build/meridian --window "$size" --mute --fixed-step "$step" --shot "$landmarks" --out "$out/gpu"
run llvmpipe software build/meridian --window "$size" --mute --fixed-step "$step" --shot "$landmarks" \
    --out "$out/llvmpipe"
grep -E '^OPENGL :: Renderer' "$out/llvmpipe.log" | sed 's/^/reference /'
for frame in "$out"/gpu/t*.png; do
    name=$(basename "$frame")
    if [ -f "$out/llvmpipe/$name" ]; then
        printf '%s  %s\n' "$name" "$(python3 tests/support/pngdiff.py "$frame" "$out/llvmpipe/$name")"
    else
        echo "$name  no llvmpipe frame"
    fi
done

echo "== GL errors and incomplete render targets"
for log in driver check gpu; do
    count=$(grep -c -E 'OPENGL :: (ERROR|UNKNOWN ERROR)|Cannot draw into a render target' "$out/$log.log" || true)
    echo "$log: $count"
    grep -E 'OPENGL :: (ERROR|UNKNOWN ERROR)|Cannot draw into a render target' "$out/$log.log" | sort | uniq -c || true
done

echo "== benchmark at $size"
run benchmark build/meridian --window "$size" --benchmark
sed -n '/^Benchmark at /,/^start-up /p' "$out/benchmark.log"
echo "# frames and logs in $out"
exit $failed
