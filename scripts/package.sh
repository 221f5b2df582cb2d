#!/usr/bin/env bash
# Builds the Debian package trakvid_<version>_<arch>.deb in build-package/.
# Install it with: sudo apt-get install ./build-package/trakvid_<version>_<arch>.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" dpkg-dev file
cmake -S "$root" -B "$root/build-package" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTRAKVID_BENCH=OFF >/dev/null
cmake --build "$root/build-package" --target trakvid -j "$(nproc)"
cd "$root/build-package"
cpack -G DEB >/dev/null
ls "$root"/build-package/trakvid_*.deb
