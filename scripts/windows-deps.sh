#!/bin/sh
# Builds the libraries meridian.exe links as static x86_64-w64-mingw32 libraries, from Debian's
# source packages of the versions the Linux build has installed, into build-windows/deps/prefix.
# A stamp of those versions (and of this script) makes a second run do nothing. The sources come
# through a private apt configuration; the system's apt setup is only read.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
DEPS=${KORVANTA_WINDOWS_DEPS:-$ROOT/build-windows/deps}
PREFIX=$DEPS/prefix
TRIPLE=x86_64-w64-mingw32
JOBS=${JOBS:-2}

# The cross tools and Wine beside the Linux build's packages, whose versions pick the sources.
./scripts/deps.sh mingw-w64 wine wine64 libz-mingw-w64-dev dpkg-dev

# Binary package of the Linux build -> its Debian source package. zlib comes built for Windows
# (libz-mingw-w64-dev); stb holds the font rasteriser Debian's imgui is linked against.
LINUX_PACKAGES="libogg-dev libvorbis-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev
  libsdl2-dev libglew-dev libminizip-dev libstb-dev libimgui-dev libgtest-dev"

source_of() {
  dpkg-query -W -f='${source:Package}=${source:Version}' "$1"
}

stamp() {
  for p in $LINUX_PACKAGES; do source_of "$p"; echo; done
  sha256sum "$0" "$ROOT/cmake/mingw-w64-x86_64.cmake" | cut -d' ' -f1
}

if [ -f "$PREFIX/.versions" ] && [ "$(stamp)" = "$(cat "$PREFIX/.versions")" ]; then
  echo "windows-deps: up to date ($PREFIX)"
  exit 0
fi

# A private apt: its own lists and cache, and deb-src twins of the machine's own sources.
APT=$DEPS/apt
rm -rf "$APT"
mkdir -p "$APT/sources.list.d" "$APT/lists/partial" "$APT/cache/archives/partial"
: > "$APT/sources.list"
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed 's/^Types:.*/Types: deb-src/' "$f" > "$APT/sources.list.d/$(basename "$f")"
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^deb[[:space:]]/deb-src /p' "$f" >> "$APT/sources.list"
done
APT_OPTIONS="-o Dir::Etc::SourceList=$APT/sources.list -o Dir::Etc::SourceParts=$APT/sources.list.d
  -o Dir::State::Lists=$APT/lists -o Dir::Cache=$APT/cache
  -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o Debug::NoLocking=1
  -o APT::Sandbox::User=root"
# shellcheck disable=SC2086
apt-get $APT_OPTIONS -qq update

# Where the archive has moved past an installed package, the Linux package is upgraded first, so
# both builds use one version. Where the index names a version whose files the archive no longer
# serves, the newest older one that it does serve is used, and said.
SRC=$DEPS/src
rm -rf "$SRC"
mkdir -p "$SRC"
fetch() {
  # shellcheck disable=SC2086
  (cd "$SRC" && apt-get $APT_OPTIONS -qq source --download-only "$1" >/dev/null 2>&1)
}
for p in $LINUX_PACKAGES; do
  spec=$(source_of "$p")
  name=${spec%%=*} version=${spec#*=}
  # shellcheck disable=SC2086
  versions=$(apt-cache $APT_OPTIONS showsrc "$name" | sed -n 's/^Version: //p' | sort -u -r -V)
  newest=$(echo "$versions" | head -n 1)
  [ -n "$newest" ] || { echo "windows-deps: no source package $name in the archive" >&2; exit 1; }
  if dpkg --compare-versions "$newest" gt "$version"; then
    echo "windows-deps: the archive has $name $newest; upgrading $p from $version"
    env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --only-upgrade "$p" >/dev/null
    spec=$(source_of "$p") version=${spec#*=}
  fi
  fetch "$spec" && continue
  for v in $versions; do
    dpkg --compare-versions "$v" lt "$version" || continue
    if fetch "$name=$v"; then
      echo "windows-deps: the archive serves no files for $name $version; built from $v" >&2
      continue 2
    fi
  done
  echo "windows-deps: cannot fetch the source of $name $version" >&2
  exit 1
done
for dsc in "$SRC"/*.dsc; do
  name=$(basename "$dsc" .dsc)
  (cd "$SRC" && dpkg-source --no-check -x "$dsc" "${name%%_*}" >/dev/null)
done

rm -rf "$PREFIX" "$DEPS/build"
mkdir -p "$PREFIX/include" "$PREFIX/lib/pkgconfig" "$DEPS/build"
(cd "$SRC" && ls ./*.dsc) > "$PREFIX/.sources"
LAUNCHER=""
CCACHE=""
if command -v ccache >/dev/null; then
  CCACHE=ccache
  LAUNCHER="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
CC="$TRIPLE-gcc-posix"
CXX="$TRIPLE-g++-posix"
AR="$TRIPLE-ar"

# cmake_lib NAME [CMAKE OPTIONS...]: configure, build and install one CMake source tree.
cmake_lib() {
  name=$1; shift
  start=$(date +%s)
  # shellcheck disable=SC2086
  cmake -S "$SRC/$name" -B "$DEPS/build/$name" -G "Unix Makefiles" $LAUNCHER \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DKORVANTA_WINDOWS_PREFIX="$PREFIX" \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF "$@" >"$DEPS/build/$name.log" 2>&1 ||
    { tail -30 "$DEPS/build/$name.log"; exit 1; }
  cmake --build "$DEPS/build/$name" -j"$JOBS" --target install >>"$DEPS/build/$name.log" 2>&1 ||
    { tail -30 "$DEPS/build/$name.log"; exit 1; }
  echo "windows-deps: $name $(($(date +%s) - start)) s"
}

# archive_lib NAME LIB CFLAGS SOURCE...: libraries whose Debian build is more than they need
# (a generated loader, a handful of C files) are compiled straight into one archive.
archive_lib() {
  name=$1 lib=$2 flags=$3; shift 3
  start=$(date +%s)
  out=$DEPS/build/$name
  mkdir -p "$out"
  objects=""
  for s in "$@"; do
    o=$out/$(basename "$s").o
    case $s in
      *.cpp) compiler=$CXX ;;
      *) compiler=$CC ;;
    esac
    # shellcheck disable=SC2086
    $CCACHE $compiler -O2 $flags -c "$s" -o "$o"
    objects="$objects $o"
  done
  # shellcheck disable=SC2086
  $AR rcs "$PREFIX/lib/$lib" $objects
  echo "windows-deps: $name $(($(date +%s) - start)) s"
}

# pc NAME VERSION CFLAGS LIBS: a pkg-config file for the hand-built libraries.
pc() {
  cat > "$PREFIX/lib/pkgconfig/$1.pc" <<EOF
prefix=$PREFIX
Name: $1
Description: $1 for Windows
Version: $2
Cflags: $3
Libs: $4
EOF
}
version_of() {
  dpkg-query -W -f='${Version}' "$1" | sed 's/^[0-9]*://; s/[+~-].*//'
}

cmake_lib libogg -DINSTALL_DOCS=OFF
cmake_lib libvorbis
cmake_lib libpng1.6 -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_EXECUTABLES=ON
cmake_lib freetype -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
# SDL: video, audio, events, threads and timers, as the program uses them; the subsystems it never
# opens (renderers, joysticks, haptics, sensors, power) stay out, each replaced by SDL's own stub.
cmake_lib libsdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON \
  -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF \
  -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_DISKAUDIO=OFF -DSDL_OFFSCREEN=OFF -DSDL_VULKAN=OFF
cmake_lib googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON

# libjpeg-turbo: only the library (its tools and tests have no switch), without the SIMD
# paths, which would need an assembler the Linux build does not.
start=$(date +%s)
# shellcheck disable=SC2086
cmake -S "$SRC/libjpeg-turbo" -B "$DEPS/build/libjpeg-turbo" -G "Unix Makefiles" $LAUNCHER \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DKORVANTA_WINDOWS_PREFIX="$PREFIX" \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
  -DWITH_SIMD=OFF >"$DEPS/build/libjpeg-turbo.log" 2>&1 || { tail -30 "$DEPS/build/libjpeg-turbo.log"; exit 1; }
cmake --build "$DEPS/build/libjpeg-turbo" -j"$JOBS" --target jpeg-static >>"$DEPS/build/libjpeg-turbo.log" 2>&1 ||
  { tail -30 "$DEPS/build/libjpeg-turbo.log"; exit 1; }
cp "$DEPS/build/libjpeg-turbo/libjpeg.a" "$PREFIX/lib/"
cp "$DEPS/build/libjpeg-turbo/jconfig.h" "$SRC/libjpeg-turbo/jpeglib.h" "$SRC/libjpeg-turbo/jmorecfg.h" \
  "$SRC/libjpeg-turbo/jerror.h" "$PREFIX/include/"
echo "windows-deps: libjpeg-turbo $(($(date +%s) - start)) s"

# GLEW: the generated loader, one C file.
mkdir -p "$PREFIX/include/GL"
cp "$SRC/glew/include/GL/glew.h" "$SRC/glew/include/GL/wglew.h" "$PREFIX/include/GL/"
archive_lib glew libglew32.a "-DGLEW_STATIC -DGLEW_NO_GLU -I$SRC/glew/include" "$SRC/glew/src/glew.c"
pc glew "$(version_of libglew-dev)" "-I\${prefix}/include -DGLEW_STATIC" "-L\${prefix}/lib -lglew32 -lopengl32"
pc glu "$(version_of libglew-dev)" "-I\${prefix}/include" "-lglu32 -lopengl32"

# minizip: the ZIP reader and writer with its Win32 file functions (wide names).
mkdir -p "$PREFIX/include/minizip"
(cd "$SRC/minizip" && cp ioapi.h unzip.h zip.h iowin32.h "$PREFIX/include/minizip/")
archive_lib minizip libminizip.a "-I/usr/$TRIPLE/include" \
  "$SRC/minizip/ioapi.c" "$SRC/minizip/unzip.c" "$SRC/minizip/zip.c" "$SRC/minizip/iowin32.c"
pc minizip "$(version_of libminizip-dev)" "-I\${prefix}/include/minizip" "-L\${prefix}/lib -lminizip -lz"

# stb and Dear ImGui as Debian builds them: imgui takes stb's rectangle packer and font
# rasteriser from the stb package, and brings the SDL2 and OpenGL 2 back ends the program uses.
mkdir -p "$PREFIX/include/stb" "$PREFIX/include/imgui/backends"
cp "$SRC/libstb/"stb_*.h "$PREFIX/include/stb/"
printf '#define STB_RECT_PACK_IMPLEMENTATION\n#include <stb/stb_rect_pack.h>\n#define STB_TRUETYPE_IMPLEMENTATION\n#include <stb/stb_truetype.h>\n' \
  > "$DEPS/build/stb.c"
archive_lib libstb libstb.a "-I$PREFIX/include" "$DEPS/build/stb.c"
pc stb "$(version_of libstb-dev)" "-I\${prefix}/include/stb" "-L\${prefix}/lib -lstb"
I=$SRC/imgui
cp "$I"/*.h "$PREFIX/include/imgui/"
cp "$I/backends/imgui_impl_sdl.h" "$I/backends/imgui_impl_opengl2.h" "$PREFIX/include/imgui/backends/"
archive_lib imgui libimgui.a "-I$I -I$PREFIX/include -I$PREFIX/include/SDL2
  -DIMGUI_DISABLE_STB_RECT_PACK_IMPLEMENTATION -DIMGUI_STB_RECT_PACK_FILENAME=<stb/stb_rect_pack.h>
  -DIMGUI_DISABLE_STB_TRUETYPE_IMPLEMENTATION -DIMGUI_STB_TRUETYPE_FILENAME=<stb/stb_truetype.h>" \
  "$I/imgui.cpp" "$I/imgui_draw.cpp" "$I/imgui_tables.cpp" "$I/imgui_widgets.cpp" "$I/imgui_demo.cpp" \
  "$I/backends/imgui_impl_sdl.cpp" "$I/backends/imgui_impl_opengl2.cpp"
pc imgui "$(version_of libimgui-dev)" "-I\${prefix}/include/imgui -I\${prefix}/include/stb" "-L\${prefix}/lib -limgui -lstb -lopengl32"

stamp > "$PREFIX/.versions"
echo "windows-deps: done ($PREFIX)"
