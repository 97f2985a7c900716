#!/usr/bin/env bash
# Builds the show and its data, then plays it full-screen with sound. Extra arguments go to demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh play
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DDEMO_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
cd build && exec ./demo "$@"
