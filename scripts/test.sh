#!/usr/bin/env bash
# Builds Trakvid and runs every test through CTest, with no display needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" libbenchmark-dev xvfb xauth xdotool openbox x11-utils
cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-test" -j "$(nproc)"
cd "$root/build-test"
ctest --output-on-failure -j "$(nproc)"
