#!/usr/bin/env bash
# The unit and headless-GL test binaries each run as one process, in shuffled order, three
# times over: every test must start from the show's start-up state however many ran before
# it. ctest runs each test in a process of its own and cannot see a state leak.
# Usage: scripts/one-process-tests.sh [build dir, default build-test] (built by test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
cd "$build/tests"  # the binaries' working directory under ctest too
for binary in unit_tests gl_tests; do
  echo "== $binary: one process, shuffled, repeated 3 times"
  timeout 1200 "./$binary" --gtest_shuffle --gtest_repeat=3 --gtest_brief=1
done
