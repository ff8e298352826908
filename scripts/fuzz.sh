#!/bin/sh
# Builds the libFuzzer targets with clang 14 (ASan + UBSan + coverage) in build-fuzz and runs
# each for SECONDS seconds (default 60) from its seed corpus, with its dictionary, all at once.
# A crash, leak or timeout fails the script and leaves the input in build-fuzz/findings/<target>.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (targets: archive png jpeg ogg material parser)
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-archive png jpeg ogg material parser}

./scripts/deps.sh clang-14 libclang-rt-14-dev
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANTA_FUZZ=ON > /dev/null
cmake --build build-fuzz -j"$(nproc)" --target $(for target in $targets; do printf 'fuzz_%s ' "$target"; done)

export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
# Freed memory is held back for use-after-free checks; the default hold of large images
# alone would reach the memory limit.
export ASAN_OPTIONS="quarantine_size_mb=64:suppressions=$PWD/tests/asan.supp"
for target in $targets; do
    # The fuzzer adds what it finds to a work copy, never to the committed seeds.
    work=build-fuzz/corpus/$target
    findings=build-fuzz/findings/$target
    rm -rf "$findings"
    mkdir -p "$work" "$findings"
    dictionary=tests/fuzz/dictionaries/$target.dict
    [ "$target" = archive ] && dictionary=tests/fuzz/dictionaries/zip.dict
    # The grammar alone reads the material format's words.
    [ "$target" = parser ] && dictionary=tests/fuzz/dictionaries/material.dict
    run="build-fuzz/tests/fuzz/fuzz_$target -max_total_time=$seconds -timeout=10 -rss_limit_mb=2048"
    run="$run -max_len=65536 -print_final_stats=1 -dict=$dictionary -artifact_prefix=$findings/"
    # The material target compiles shaders through the driver: it needs a display.
    if [ "$target" = material ] && [ -z "${DISPLAY:-}" ]; then
        run="xvfb-run -a -s \"-screen 0 640x480x24\" $run"
    fi
    echo "== fuzz_$target for $seconds s"
    # The exit code is kept whatever it is: -e would end the subshell before writing it.
    (set +e; eval "$run $work tests/corpus/$target" > "build-fuzz/fuzz_$target.log" 2>&1
     echo $? > "build-fuzz/fuzz_$target.status") &
done
wait
status=0
for target in $targets; do
    # Some endings (running out of memory) leave an input behind but not an exit code.
    if [ "$(cat "build-fuzz/fuzz_$target.status")" != 0 ] || [ -n "$(ls "build-fuzz/findings/$target")" ]; then
        echo "fuzz_$target FAILED: see build-fuzz/fuzz_$target.log and build-fuzz/findings/$target"
        # What the fuzzer said last, so that a run on another machine shows why.
        grep -v -E '^#[0-9]+' "build-fuzz/fuzz_$target.log" | tail -40
        status=1
    fi
    echo "fuzz_$target: $(grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec)|cov: ' \
        "build-fuzz/fuzz_$target.log" | tail -3 | tr '\n' ' ')"
done
exit $status
