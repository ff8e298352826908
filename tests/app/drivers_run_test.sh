#!/bin/sh
# Drivers other than the one CI has, as Mesa can play them: each ends with a message naming what
# it lacks (exit code 1), or draws as the demo's own driver does; and a settings dialog that
# cannot open on such a driver or without a display.
# Usage: drivers_run_test.sh path/to/meridian
set -eu
meridian=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export KORVANTA_NO_MESSAGE_BOX=1
"$meridian" --window 64x64 --frames 1 --mute > "$work/log" 2>&1 || fail "the plain run: $(tail -3 "$work/log")"
grep -q 'OPENGL :: Vendor: .*Mesa' "$work/log" || { echo "not Mesa: its overrides cannot play other drivers"; exit 0; }

# expect_fatal TEXT command...: exit code 1 and TEXT in the message.
expect_fatal() {
    text=$1
    shift
    set +e
    "$@" > "$work/log" 2>&1; code=$?
    set -e
    [ $code -eq 1 ] || fail "$* gave $code: $(tail -3 "$work/log")"
    grep -qF "$text" "$work/log" || fail "$* did not say \"$text\": $(tail -3 "$work/log")"
}

# A driver below the demo's floor: the context cannot be made at the version asked for.
for version in 1.4 2.0; do
    MESA_GL_VERSION_OVERRIDE=$version expect_fatal "This demo needs OpenGL 2.1 (compatibility profile)" \
        "$meridian" --window 64x64 --frames 1 --mute
done

# The voxel scene on a driver that has the demo's floor but not GLSL 1.50.
MESA_GL_VERSION_OVERRIDE=3.1 MESA_GLSL_VERSION_OVERRIDE=140 expect_fatal \
    "The voxel scene cannot run here. GLSL 1.50 is needed; this driver offers GLSL 1.40." \
    "$meridian" --scene voxels --window 64x64 --frames 1 --mute

# A driver that lists geometry_shader4 (as NVIDIA's and Intel's do): the shipped stages declare
# GLSL 1.50, so their parameters still go in as layout qualifiers and every program links.
MESA_EXTENSION_OVERRIDE="+GL_EXT_geometry_shader4 +GL_ARB_geometry_shader4" \
    "$meridian" --check-data > "$work/log" 2>&1 || fail "check-data with geometry_shader4 listed: $(grep error "$work/log")"
grep -q ': 0 errors, 0 warnings\.$' "$work/log" || fail "check-data summary: $(tail -1 "$work/log")"
# The settings dialog that cannot open is no Cancel: the reason, exit code 1.
MESA_GL_VERSION_OVERRIDE=1.4 expect_fatal "The settings dialog cannot open: its OpenGL context cannot be made: " \
    "$meridian" --mute
SDL_VIDEODRIVER=none expect_fatal "The settings dialog cannot open: there is no display: " "$meridian" --mute
echo "drivers: all cases passed"
