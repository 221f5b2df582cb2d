#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Builds Trakvid and runs every test through CTest, with no display needed;
# then the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks at exit fail), then every fuzz target for a bounded time, then the
# Windows build with its installer, tested under Wine (scripts/windows.sh).
# FUZZ_SECONDS sets the time of each fuzz target (default 30).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" libbenchmark-dev xvfb xauth xdotool openbox x11-utils libcap2-bin \
  dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 orca speech-dispatcher \
  desktop-file-utils appstream poppler-utils dpkg-dev file e2fsprogs mount \
  lintian mandoc man-db dex libgtk-3-bin \
  clang-14 libclang-rt-14-dev llvm-14
jobs=$(nproc)

# The toolkit for Windows takes half an hour of both cores; it is built at a
# lower priority beside the Linux passes, whose tests spend much of their
# time waiting for windows and boxes, and the Windows pass waits for it.
mkdir -p "$root/build-windows"
nice -n 15 "$root/scripts/windows.sh" --toolkit > "$root/build-windows/toolkit.log" 2>&1 &
toolkit=$!

echo "== Debug build and tests"
cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-test" -j "$jobs"
(cd "$root/build-test" && ctest --output-on-failure -j "$jobs")

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-test-asan" -DCMAKE_BUILD_TYPE=Debug -DTRAKVID_SANITIZE=ON \
  -DTRAKVID_BENCH=OFF >/dev/null
cmake --build "$root/build-test-asan" -j "$jobs"
# The pane's table runs here once, with the screen reader listening
# (e2e_pane_atspi); the long table of real boxes and Orca's moments, which
# wait on Orca's own pace, run in the Debug pass only.
(cd "$root/build-test-asan" && ctest --output-on-failure -j "$jobs" -E '^(e2e_pane|e2e_realboxes|e2e_orca)$')

echo "== Fuzz targets"
cmake -S "$root/fuzz" -B "$root/build-test-fuzz" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$root/build-test-fuzz" -j "$jobs"
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-/usr/bin/llvm-symbolizer-14}
"$root/fuzz/run.sh" "$root/build-test-fuzz" "${FUZZ_SECONDS:-30}"

echo "== Windows build and tests under Wine"
if ! wait "$toolkit"; then
  cat "$root/build-windows/toolkit.log"
  echo "The toolkit for Windows could not be built." >&2
  exit 1
fi
"$root/scripts/windows.sh" --test
