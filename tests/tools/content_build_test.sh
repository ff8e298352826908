#!/bin/sh
# Builds data.pak from a copy of the sources and checks that the content build redoes only what
# changed (nothing, or only the packing for a data file touched, added or removed) and that the
# same sources always give the same bytes.
# Usage: content_build_test.sh path/to/source
set -eu
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
passed=0

mkdir "$work/src"
if git -C "$source" rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    git -C "$source" ls-files -co --exclude-standard -z |
        tar -C "$source" --null --no-recursion --ignore-failed-read -T - -cf - 2> /dev/null |
        tar -C "$work/src" -xf -
else
    tar -C "$source" --exclude=./build* -cf - . | tar -C "$work/src" -xf -
fi
build=$work/build
cmake -S "$work/src" -B "$build" -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release > "$work/log" 2>&1 ||
    fail "configure: $(tail -5 "$work/log")"

# Builds data.pak and prints which content steps ran, in order, comma-separated.
steps() {
    cmake --build "$build" --target data_pak -j2 > "$work/log" 2>&1 || fail "build: $(tail -5 "$work/log")"
    grep -o -E 'Rendering pictures|Synthesising music|Packing data.pak' "$work/log" | sort | paste -sd, -
}
expect() {
    [ "$2" = "$3" ] || fail "$1: ran '$2', expected '$3'"
    passed=$((passed + 1))
}
digest() { md5sum "$build/data.pak" | cut -d' ' -f1; }
all='Packing data.pak,Rendering pictures,Synthesising music'

expect "first build" "$(steps)" "$all"
first=$(digest)
expect "nothing changed" "$(steps)" ""

# One second apart, so even a file system with coarse timestamps sees the touch as newer.
sleep 1
touch "$(find "$work/src/data" -type f | sort | sed -n 1p)"
expect "a data file touched" "$(steps)" "Packing data.pak"
[ "$(digest)" = "$first" ] || fail "a newer timestamp changed the archive"

printf 'pass Extra\n' > "$work/src/data/Extra.mat"
touch -d '2001-01-01' "$work/src/data/Extra.mat"  # older than the archive: only the list shows it
expect "a data file added" "$(steps)" "Packing data.pak"
unzip -Z1 "$build/data.pak" | grep -qxF Extra.mat || fail "the added file is not packed"

rm "$work/src/data/Extra.mat"
expect "a data file removed" "$(steps)" "Packing data.pak"
unzip -Z1 "$build/data.pak" | grep -qxF Extra.mat && fail "the removed file is still packed"
[ "$(digest)" = "$first" ] || fail "the same sources gave another archive after a removal"

rm -rf "$build/content" "$build/data.pak"
expect "content removed" "$(steps)" "$all"
[ "$(digest)" = "$first" ] || fail "rendering and synthesising again gave another archive"
echo "content build: $passed passed, 0 failed"
