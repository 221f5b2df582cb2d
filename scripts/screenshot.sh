#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Takes a screenshot of the main window under Xvfb, for checking that no text is clipped.
# Usage: scripts/screenshot.sh [OUTPUT.png]   (default: build-screenshot/mainwindow.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/build-screenshot/mainwindow.png"}
"$root/scripts/deps.sh" xvfb xauth imagemagick openbox
cmake -S "$root" -B "$root/build-screenshot" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTRAKVID_BENCH=OFF >/dev/null
cmake --build "$root/build-screenshot" --target trakvid -j "$(nproc)"
mkdir -p "$(dirname "$out")"
data=$(mktemp -d)
cd "$data"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  openbox >/dev/null 2>&1 & sleep 1
  "$0" & pid=$!
  sleep "${SHOT_DELAY:-7}"
  import -window root "$1"
  kill $pid' "$root/build-screenshot/src/trakvid" "$out"
echo "screenshot: $out"
