#!/usr/bin/env bash
# Runs every built fuzz target for a bounded time from the seed corpus.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
# New inputs go to fuzz/corpus-work/<target>/ (not kept in git); a crash or a
# mismatch leaves its input there as <target>-crash-* and fails the run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-30}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for exe in "$build"/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  target=${name#fuzz_}
  work="$here/corpus-work/$target"
  mkdir -p "$work"
  dict=()
  [ -f "$here/$target.dict" ] && dict=(-dict="$here/$target.dict")
  echo "== $name: ${seconds}s"
  if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      "${dict[@]}" -artifact_prefix="$here/corpus-work/$target-" "$work" "$here/corpus/$target" \
      > "$work.log" 2>&1; then
    echo "FAILED: $name (input and log in $here/corpus-work/)"
    tail -n 40 "$work.log"
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$work.log" | tr '\n' ' '
    echo
  fi
done
exit $status
