#!/bin/sh
# meridian.exe carries its icon, its version information and a manifest that declares it
# DPI-aware, read back by the resource compiler on the build machine.
set -eu
resources=$("$1" -i "$2" -O rc)
for wanted in 'RT_GROUP_ICON' '1 VERSIONINFO' '"ProductName", "Korvanta - meridian"' 'RT_MANIFEST' 'true</dpiAware>'; do
  printf '%s\n' "$resources" | grep -qF "$wanted" || { echo "meridian.exe lacks $wanted"; exit 1; }
done
echo "icon, version information and DPI-aware manifest present"
