#!/bin/sh
# Installs what is missing, builds the demo with its data.pak and plays it.
# Extra arguments go to the program (see `build/meridian --help`).
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
# The build type of scripts/test.sh, so that one after the other rebuilds nothing.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec build/meridian "$@"
