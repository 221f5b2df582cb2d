#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Builds Trakvid and starts it in the data folder (default: data/ in the checkout).
# Usage: scripts/run.sh [DATA_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
data=${1:-"$root/data"}
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTRAKVID_BENCH=OFF >/dev/null
cmake --build "$root/build-release" --target trakvid -j "$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Trakvid needs a graphical display, and this session has none (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Run it from a desktop session, or under X forwarding (ssh -X)." >&2
  exit 1
fi
mkdir -p "$data"
exec "$root/build-release/src/trakvid" "$data"
