#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Runs every built fuzz target for a bounded time from the seed corpus, as
# many at once as there are processors.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
# New inputs go to fuzz/corpus-work/<target>/ (not kept in git); a crash or a
# mismatch leaves its input there as <target>-crash-* and fails the run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-30}
jobs=$(nproc)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_target() {
  local exe=$1 target=$2 work="$here/corpus-work/$2"
  local dict=()
  [ -f "$here/$target.dict" ] && dict=(-dict="$here/$target.dict")
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "${dict[@]}" -artifact_prefix="$here/corpus-work/$target-" "$work" "$here/corpus/$target" \
    > "$work.log" 2>&1
}

declare -A names=()
status=0
passed=0
failed=0
finish_one() {
  local pid code=0
  wait -n -p pid || code=$?
  local target=${names[$pid]}
  unset "names[$pid]"
  if [ "$code" -ne 0 ]; then
    echo "FAILED: fuzz_$target (input and log in $here/corpus-work/)"
    tail -n 40 "$here/corpus-work/$target.log"
    status=1
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
    echo "fuzz_$target: $(grep -E '^stat::number_of_executed_units' "$here/corpus-work/$target.log" | awk '{print $2}') runs in ${seconds}s, no failure"
  fi
}

for exe in "$build"/fuzz_*; do
  [ -x "$exe" ] || continue
  target=$(basename "$exe")
  target=${target#fuzz_}
  mkdir -p "$here/corpus-work/$target"
  while [ ${#names[@]} -ge "$jobs" ]; do finish_one; done
  run_target "$exe" "$target" &
  names[$!]=$target
done
while [ ${#names[@]} -gt 0 ]; do finish_one; done
echo "fuzz: $passed passed, $failed failed"
exit $status
