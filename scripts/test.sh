#!/bin/sh
# Installs what is missing, builds everything (data.pak included) and runs every test;
# the `gl` tests run under Xvfb.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
cd build
xvfb-run -a -s "-screen 0 1280x720x24" ctest --output-on-failure -j2 "$@"
