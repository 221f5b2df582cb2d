#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Measures Trakvid at national-fleet scale beside grep, cp and wc on the same
# generated files, and prints one Markdown table (see README, Performance).
# Usage: scripts/bench.sh [--repetitions N] [--sizes 10000,100000,1000000] [--keep]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" libbenchmark-dev python3
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build-bench" -j "$(nproc)" --target bench_trakvid >/dev/null
exec python3 "$root/scripts/bench.py" "$root/build-bench/bench/bench_trakvid" "$@"
