#!/usr/bin/env bash
# A short stress run for CI: the last 30.6 s of the show (from 60000 ms) under load (busy
# loops on every core, an fsync'ing disk writer, data read cold), with SDL's disk audio
# output compared with the soundtrack. Fails on a hang, a wrong exit, a late end or a
# dropout. Needs the build of scripts/test.sh (build-test); builds it when missing.
# Usage: scripts/stress.sh [RUNS] [START_MS]   (defaults 1 and 60000)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-1} start=${2:-60000}
bash scripts/install-deps.sh test
if [ ! -x build-test/demo ] || [ ! -x build-test/tests/sound_fixture ]; then
    cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_TESTS=ON > /dev/null
    cmake --build build-test -j"$(nproc)"
fi
timeout -k 10 $((runs * 150 + 60)) bash tests/stress/stress.sh --build build-test --runs "$runs" --start "$start"
