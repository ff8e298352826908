#!/bin/sh
# The program's additions for demo makers, end to end: the start-up check of OpenGL features,
# letterboxing, exact capture, seeking and the installed release.
# Usage: makers_run_test.sh path/to/meridian
set -eu
meridian=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
passed=0
pass() { passed=$((passed + 1)); }

# A driver without a needed feature: the message names it instead of a crash or a black screen.
set +e
KORVANTA_NO_MESSAGE_BOX=1 MESA_EXTENSION_OVERRIDE=-GL_EXT_framebuffer_multisample \
    "$meridian" --window 320x180 --frames 3 --mute > /dev/null 2> "$work/err"
set -e
grep -qx 'Korvanta demo system: This demo cannot run here. The driver lacks multisampled render buffers (GL_EXT_framebuffer_multisample).' \
    "$work/err" || fail "missing feature message: $(cat "$work/err")"
pass

echo "makers run: $passed passed, 0 failed"
