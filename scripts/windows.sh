#!/bin/sh
# The Windows target in one command: the cross tools and Wine (apt), the libraries from Debian's
# sources (built once, see windows-deps.sh), data.pak from the Linux build, meridian.exe and the
# Windows tests, those tests under Wine and Xvfb, and build-windows/meridian-windows-x64.zip.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
LAUNCHER=""
if command -v ccache > /dev/null; then
  LAUNCHER="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
seconds() { echo $(($(date +%s) - $1)); }

start=$(date +%s)
./scripts/windows-deps.sh
echo "windows: dependencies $(seconds "$start") s"

# The Linux build gives data.pak (byte for byte the one that ships) and the reference frames.
start=$(date +%s)
cmake -S . -B build > /dev/null
cmake --build build -j2 --target meridian data_pak
# shellcheck disable=SC2086
cmake -S . -B build-windows -G "Unix Makefiles" $LAUNCHER \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DKORVANTA_WINDOWS_PREFIX="$ROOT/build-windows/deps/prefix" \
  -DKORVANTA_DATA_PAK="$ROOT/build/data.pak" -DKORVANTA_LINUX_MERIDIAN="$ROOT/build/meridian" > /dev/null
cmake --build build-windows -j2
echo "windows: build $(seconds "$start") s"

start=$(date +%s)
(cd build-windows &&
  # A test whose Wine never came up (seen once in many runs) gets a second try.
  xvfb-run -a -s "-screen 0 1280x720x24" ctest --output-on-failure -j2 --timeout 900 --repeat until-pass:2 "$@")
echo "windows: tests under Wine $(seconds "$start") s"
grep -h 'Windows vs Linux' build-windows/Testing/Temporary/LastTest.log || true

# The release: the program, its archive and a text on how to run it, in one zip.
release=build-windows/release
rm -rf "$release" build-windows/meridian-windows-x64.zip
mkdir -p "$release"
# The build keeps its debug information; the release goes without (5 MB instead of 37).
x86_64-w64-mingw32-strip -o "$release/meridian.exe" build-windows/meridian.exe
cp build/data.pak "$release/"
{
  cat docs/windows-readme.txt
  echo
  build/meridian --help
} | sed 's/$/\r/' > "$release/README.txt"
(cd "$release" && zip -q -X ../meridian-windows-x64.zip meridian.exe data.pak README.txt)
echo "windows: build-windows/meridian-windows-x64.zip"
