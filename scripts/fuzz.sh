#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target, default 60]. Fails on any finding (crash,
# sanitizer report, leak, timeout, out-of-memory); findings are kept in build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DDEMO_FUZZ=ON -DDEMO_TESTS=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_WERROR="${DEMO_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j2 --target fuzz_tga fuzz_text fuzz_music
mkdir -p "$build/findings"
for target in fuzz_tga fuzz_text fuzz_music; do
  # New inputs go to a scratch corpus; the committed seeds are only read.
  work="$build/corpus/$target"
  mkdir -p "$work"
  echo "== $target: ${seconds}s"
  status=0
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
    "$work" "tests/fuzz/corpus/$target" >"$build/$target.log" 2>&1 || status=$?
  grep -E '^(#[0-9]+.*DONE|stat::(number_of_executed_units|average_exec_per_sec)|SUMMARY)' \
    "$build/$target.log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$build/$target.log" >&2
    echo "$target: finding (exit $status), see $build/$target.log and $build/findings" >&2
    exit 1
  fi
done
