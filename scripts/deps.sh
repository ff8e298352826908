#!/bin/sh
# Installs every Debian package the build, the program and the tests need, and any packages
# named as arguments (the fuzz build adds its compiler). Non-interactive; does nothing when
# everything is already present.
set -e
PACKAGES="build-essential cmake pkg-config
  libsdl2-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dri libimgui-dev
  libminizip-dev zlib1g-dev libpng-dev libjpeg-dev
  libogg-dev libvorbis-dev libfreetype-dev libfontconfig-dev
  fonts-ebgaramond fonts-cantarell fonts-dejavu-core
  libgtest-dev xvfb xauth glslang-tools
  python3 zip unzip vorbis-tools imagemagick $*"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
# Passed through env: sudo would drop an exported variable and let debconf ask questions.
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
