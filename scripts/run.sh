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
mkdir -p "$data"
exec "$root/build-release/src/trakvid" "$data"
