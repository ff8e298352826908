#!/bin/sh
# Plays the whole demo (demo time 0 to 190 s) under AddressSanitizer and UBSan, headless at a
# small size, and fails on any sanitizer report or a non-zero exit.
# Usage: scripts/sanitized-demo.sh [UNTIL]   (build in build-asan, log in build-asan/demo.log)
set -eu
cd "$(dirname "$0")/.."
until=${1:-190}
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANTA_SANITIZE=ON > /dev/null
cmake --build build-asan --target meridian data_pak -j"$(nproc)"

log=build-asan/demo.log
set +e
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:suppressions=$PWD/tests/asan.supp \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
SDL_AUDIODRIVER=dummy \
    xvfb-run -a -s "-screen 0 640x480x24" build-asan/meridian --window 320x180 --mute --fixed-step 0.04 \
    --until "$until" > "$log" 2>&1
code=$?
set -e
if [ $code -ne 0 ] || grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:|OPENGL :: ERROR' "$log"; then
    grep -m 20 -E 'ERROR: |runtime error:|SUMMARY|OPENGL :: ERROR' "$log" || true
    echo "sanitized demo FAILED (exit $code), see $log"
    exit 1
fi
echo "sanitized demo: 0 to $until s played, no sanitizer report"
