#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Builds Trakvid for 64-bit Windows on Debian with mingw-w64 and packs it:
#   build-windows/Trakvid-1.0-setup.exe   the installer (silent with /S)
#   build-windows/Trakvid-1.0-win64.zip   the portable folder
# The toolkit, a static Qt built from Debian's source of the installed Qt, and
# libjpeg from Debian's source are built once per machine into
# ${XDG_CACHE_HOME:-~/.cache}/trakvid and reused. The script
# then runs the tests under Wine (tests/install/check_windows.sh).
# Usage: scripts/windows.sh [--toolkit | --no-test | --test]
#   --toolkit  build the toolkit only
#   --no-test  build and pack Trakvid, without the tests
#   --test     build, pack and test (the default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
toolkit_only=0
run_tests=1
for arg in "$@"; do
  case "$arg" in
    --toolkit) toolkit_only=1 ;;
    --no-test) run_tests=0 ;;
    --test) run_tests=1 ;;
    *) echo "usage: $0 [--toolkit | --no-test | --test]" >&2; exit 2 ;;
  esac
done

"$root/scripts/deps.sh" g++-mingw-w64-x86-64-posix ninja-build dpkg-dev nsis zip \
  wine wine64 xvfb xauth xdotool openbox
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
jobs=$(nproc)
host_cmake=$(dirname "$(dpkg -L qt6-base-dev | grep '/cmake/Qt6HostInfo$' | head -1)")
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
jpeg_version=$(dpkg-query -W -f='${Version}' libjpeg62-turbo-dev)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/trakvid
prefix=$cache/qt6-mingw-${qt_version%%+*}
work=$cache/qt6-mingw-work

# Every option the toolkit is built with: a prefix built with other options is
# built again. Only what Trakvid uses is built: Core, Gui, Widgets,
# PrintSupport and Test, the windows platform plugin (and the offscreen one
# for the tests), with the toolkit's own zlib, libpng, FreeType, HarfBuzz and PCRE2.
qt_options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF
  -DFEATURE_glib=OFF -DFEATURE_pkg_config=OFF -DFEATURE_openssl=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_png=ON -DFEATURE_system_png=OFF
  -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF
  -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_pcre2=ON -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
)
jpeg_options=(-DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
              -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF)
stamp="qt6-base $qt_version ${qt_options[*]}
libjpeg-turbo $jpeg_version ${jpeg_options[*]}
$(cat "$root/windows/mingw-w64.cmake")"

# Debian's source packages, from the mirror the machine already uses.
fetch_source() { # package version folder
  if ! apt-get source --print-uris "$1=$2" >/dev/null 2>&1; then
    local list=/etc/apt/sources.list.d/trakvid-deb-src.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo tee "$list" >/dev/null
    else
      grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $sudo tee "${list%.sources}.list" >/dev/null
    fi
    $sudo apt-get update -qq
  fi
  mkdir -p "$work/download"
  (cd "$work/download" && apt-get source --download-only -qq "$1=$2" 2>/dev/null)
  rm -rf "$3"
  # apt has checked the files against the mirror's signed lists.
  dpkg-source --no-check -x "$work/download/$1_${2#*:}.dsc" "$3" >/dev/null
}

build_toolkit() {
  local started=$SECONDS
  echo "Building the toolkit for Windows into $prefix (once per machine)"
  rm -rf "$prefix" "$work"
  mkdir -p "$prefix" "$work"
  cp "$root/windows/mingw-w64.cmake" "$prefix/mingw-w64.cmake"

  fetch_source libjpeg-turbo "$jpeg_version" "$work/libjpeg"
  cmake -S "$work/libjpeg" -B "$work/libjpeg-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    "${jpeg_options[@]}" >/dev/null
  cmake --build "$work/libjpeg-build" -j "$jobs" --target jpeg-static >/dev/null
  mkdir -p "$prefix/include" "$prefix/lib"
  cp "$work/libjpeg-build/libjpeg.a" "$prefix/lib/"
  cp "$work/libjpeg-build/jconfig.h" "$work/libjpeg/jpeglib.h" "$work/libjpeg/jmorecfg.h" \
     "$work/libjpeg/jerror.h" "$prefix/include/"

  fetch_source qt6-base "$qt_version" "$work/qtbase"
  cmake -S "$work/qtbase" -B "$work/qtbase-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQt6HostInfo_DIR="$host_cmake/Qt6HostInfo" \
    -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" "${qt_options[@]}" > "$work/qtbase-configure.log"
  cmake --build "$work/qtbase-build" -j "$jobs"
  cmake --install "$work/qtbase-build" >/dev/null
  printf '%s\n' "$stamp" > "$prefix/trakvid-toolkit.txt"
  rm -rf "$work"
  echo "Toolkit built in $((SECONDS - started)) s"
}

if [ "$(cat "$prefix/trakvid-toolkit.txt" 2>/dev/null)" != "$stamp" ]; then
  build_toolkit
fi
[ "$toolkit_only" -eq 0 ] || exit 0

# Trakvid itself, with the tests when they are to run. Wine runs the tests'
# programs for CTest.
build=$root/build-windows
version=$(sed -n 's/^project(Trakvid VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
testing=OFF
[ "$run_tests" -eq 0 ] || testing=ON
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_INSTALL_BINDIR=. \
  -DJPEG_INCLUDE_DIR="$prefix/include" -DJPEG_LIBRARY="$prefix/lib/libjpeg.a" \
  -DCMAKE_AUTORCC_OPTIONS=--no-zstd -DTRAKVID_BENCH=OFF -DBUILD_TESTING=$testing -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/wine >/dev/null
if [ "$run_tests" -eq 0 ]; then
  cmake --build "$build" -j "$jobs" --target trakvid
else
  cmake --build "$build" -j "$jobs"
fi

# The portable folder, its zip and the installer; dated by the last change
# of the changelog, so that one commit gives the same files.
epoch=$(date -d "$(sed -n 's/^ -- .*>  //p' "$root/doc/changelog" | head -1)" +%s)
portable=$build/Trakvid-$version
rm -rf "$portable" "$build/Trakvid-$version-win64.zip" "$build/Trakvid-$version-setup.exe"
mkdir "$portable"
x86_64-w64-mingw32-strip -o "$portable/trakvid.exe" "$build/src/trakvid.exe"
sed 's/$/\r/' "$root/LICENSE" > "$portable/LICENSE.txt"
touch -d "@$epoch" "$portable" "$portable"/*
(cd "$build" && TZ=UTC zip -qrX "Trakvid-$version-win64.zip" "Trakvid-$version")
makensis -V2 -DVERSION="$version" -DSOURCE="$portable" -DICON="$build/windows/trakvid.ico" \
  -DOUTFILE="$build/Trakvid-$version-setup.exe" "$root/windows/trakvid.nsi"
echo "Built $build/Trakvid-$version-setup.exe and $build/Trakvid-$version-win64.zip"

[ "$run_tests" -eq 1 ] || exit 0
# The Linux program, whose files the Windows one must write byte for byte.
if [ ! -x "$root/build-test/src/trakvid" ]; then
  cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build-test" -j "$jobs" --target trakvid
fi
"$root/tests/install/check_windows.sh" "$build" "$version" "$root/build-test/src/trakvid"
