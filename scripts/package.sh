#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Builds the Debian package trakvid_<version>_<arch>.deb: a Release build with
# Debian's flags (its -O2, and its hardening: fortify, stack protector, relro,
# bindnow), packed by CPack, in BUILD_DIR (default build-package/).
# One commit gives the same bytes wherever it is checked out, with BUILD_DIR at
# the same place in the checkout (as the default is): every date is the
# changelog's (SOURCE_DATE_EPOCH), the checkout's path is mapped to "." in the
# program (-ffile-prefix-map), and the archives list their files in order with
# fixed owners and modes.
# Usage: scripts/package.sh [--install] [BUILD_DIR]
#   --install  installs the package afterwards (with sudo when not root)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
install=no
[ "${1:-}" = --install ] && install=yes && shift
build=${1:-$root/build-package}
"$root/scripts/deps.sh" dpkg-dev file
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$root/doc/changelog" -STimestamp)
export SOURCE_DATE_EPOCH
cxxflags="$(cd "$root" && dpkg-buildflags --get CPPFLAGS) $(cd "$root" && dpkg-buildflags --get CXXFLAGS)"
cxxflags+=" -ffile-prefix-map=$root=."
ldflags=$(dpkg-buildflags --get LDFLAGS)
# A file's mode in the package is its mode in the build: the same for every
# builder's umask.
umask 022
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTRAKVID_BENCH=OFF \
  "${launcher[@]}" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" --target trakvid -j "$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(cd "$build" && ls "$PWD"/trakvid_*.deb)
echo "$deb"
if [ $install = yes ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get install -y "$deb"
fi
