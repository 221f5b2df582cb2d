#!/usr/bin/env bash
# Builds the Debian package of a build with CPack and checks its name, its
# file list and its dependencies.
# Usage: check_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$out/trakvid_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "FAIL: no $deb, only: $(ls "$out")"; exit 1; }

listed=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/trakvid ./usr/share/applications/trakvid.desktop \
         ./usr/share/metainfo/cz.trakvid.Trakvid.metainfo.xml \
         ./usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/trakvid.png; do
  grep -qxF "$f" <<<"$listed" || { echo "FAIL: $f is not in the package"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 libjpeg62-turbo qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || { echo "FAIL: $d is not among the dependencies: $depends"; exit 1; }
done
echo "$(basename "$deb"): $(wc -l <<<"$listed") entries; Depends: $depends"
