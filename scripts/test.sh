#!/usr/bin/env bash
# Builds everything and runs the whole test suite (unit, headless GL, end to end under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
# DEMO_WERROR=ON in the environment (CI) turns warnings into errors.
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_TESTS=ON \
  -DDEMO_WERROR="${DEMO_WERROR:-OFF}" >/dev/null
cmake --build build-test -j"$(nproc)"
cd build-test && ctest --output-on-failure -j"$(nproc)"
