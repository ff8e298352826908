#!/bin/sh
# The engine example plays its script on the engine alone: its cues fire in order at their
# instants, the last one ends it with exit code 0, and its material drew the last cue's colour.
set -eu
out=$("$1")
echo "$out"
printf '%s\n' "$out" | grep -E '^[0-9.]+ s: cue [0-9]' | awk '{print int($1) ":" $4}' | tr '\n' ' ' |
  grep -qx '0:0 1:1 2:2 3:3 ' || { echo "the cues did not fire in order at 0, 1, 2 and 3 s"; exit 1; }
set -- $(printf '%s\n' "$out" | sed -n 's/^centre //p')
[ "$#" -eq 3 ] && [ "$3" -gt 150 ] && [ "$3" -gt $(($1 * 2)) ] && [ "$3" -gt $(($2 * 2)) ] ||
  { echo "the centre is not the blue of the last cue"; exit 1; }
