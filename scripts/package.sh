#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine and runs the end-to-end typical run
# against the installed program.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh
setforge_install_deps

# What software centres show: checked before the long build, offline so CI needs no network.
metainfo=packaging/example.halvren.setforge.metainfo.xml
appstreamcli validate --no-net "$metainfo"
grep -q '<launchable type="desktop-id">setforge.desktop</launchable>' "$metainfo" ||
    { echo "$metainfo does not launch setforge.desktop"; exit 1; }

# The package build holds only the program and what it installs; scripts/windows.sh reuses it.
cmake --preset package
cmake --build --preset package
(cd build/package && cpack)
deb=$(ls build/package/halvren-setforge_*.deb)

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "./$deb"

for installed in /usr/bin/setforge /usr/share/applications/setforge.desktop \
    /usr/share/metainfo/example.halvren.setforge.metainfo.xml \
    /usr/share/icons/hicolor/16x16/apps/setforge.png /usr/share/icons/hicolor/32x32/apps/setforge.png \
    /usr/share/icons/hicolor/256x256/apps/setforge.png \
    /usr/share/doc/halvren-setforge/LICENSE /usr/share/doc/halvren-setforge/THIRD-PARTY-NOTICES; do
    [ -f "$installed" ] || { echo "the package did not install $installed"; exit 1; }
done

# A skip (exit 77) would mean a missing tool; here that is a failure.
bash tests/e2e/typical_run.sh /usr/bin/setforge build/package/installed-shots
echo "installed package: typical run passed"
