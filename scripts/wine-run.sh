#!/bin/sh
# Runs a Windows program under Wine in a prefix of its own: no Mono or Gecko prompt, nothing
# downloaded, Wine's own messages off. The tests' emulator, and the runner prefix of their scripts.
# Usage: wine-run.sh WINEPREFIX program.exe [arguments...]
set -e
WINEPREFIX=$(realpath -m "$1")
shift
export WINEPREFIX
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
# A new prefix is made once, under a lock, since tests run in parallel; DejaVu in its Fonts
# folder stands in for the fonts Windows ships.
mkdir -p "$(dirname "$WINEPREFIX")"
flock "$WINEPREFIX.lock" sh -c '
  [ -f "$WINEPREFIX/.korvanta-ready" ] && exit 0
  wineboot --init > /dev/null 2>&1
  wineserver --wait
  cp /usr/share/fonts/truetype/dejavu/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  touch "$WINEPREFIX/.korvanta-ready"'
exec wine "$@"
