#!/usr/bin/env bash
# The show as a web page. Installs its Debian packages, builds the data generator natively
# and the show with Debian's emscripten, and assembles the site in build-web/site/
# (index.html, soltarek.js, soltarek.wasm, soltarek.data: any static web host can serve
# that folder as it is).
#   scripts/web.sh               build the site
#   scripts/web.sh --serve [P]   build, then serve it on http://127.0.0.1:P/ (default 8000)
#   scripts/web.sh --test        build, then run the page's tests in headless Chromium and
#                                Firefox (tests/web/with-display.bash: a private X display
#                                and sound server)
# WEB_NATIVE_BUILD names a native build directory to take the data generator and
# demo-capture from (CI passes the test build's); by default build-web/native.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-build}
case "$mode" in
  build|--serve|--test) ;;
  *) echo "usage: scripts/web.sh [--serve [PORT] | --test]" >&2; exit 2 ;;
esac
bash scripts/install-deps.sh "$([ "$mode" = --test ] && echo web-test || echo web)"
# emcc runs its JavaScript tools with node; one not from Debian needs Debian's modules.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
root=$PWD
out=$root/build-web

# The data (and, to compare frames with, demo-capture) come from a native build.
native=${WEB_NATIVE_BUILD:-$out/native}
# DEMO_WERROR=ON in the environment (CI) turns warnings into errors, here as everywhere.
werror=-DDEMO_WERROR="${DEMO_WERROR:-OFF}"
[ -f "$native/CMakeCache.txt" ] || cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DDEMO_TESTS=OFF "$werror" >/dev/null
targets=(datagen_data)
[ "$mode" = --test ] && targets+=(demo-capture)
cmake --build "$native" -j2 --target "${targets[@]}"

# The data packed for the download, again only when the data changed.
if [ ! -f "$out/pack/index.json" ] || [ -n "$(find "$native/data" -newer "$out/pack/index.json")" ]; then
  rm -rf "$out/pack"
  python3 web/pack_data.py "$native/data" "$out/pack"
fi

emcmake cmake -S web -B "$out/wasm" -DWEB_PACK_DIR="$out/pack" "$werror" >/dev/null
cmake --build "$out/wasm" -j2
python3 web/check_imports.py "$out/wasm/soltarek.js" src/platform/web/immediate_batch.js

rm -rf "$out/site"
mkdir -p "$out/site"
cp web/index.html "$out"/wasm/soltarek.{js,wasm,data} "$out/site/"
python3 web/site_report.py "$out/site"

case "$mode" in
  --serve)
    port=${2:-8000}
    echo "Serving the show at http://127.0.0.1:$port/ (Ctrl-C stops)"
    exec python3 -m http.server --bind 127.0.0.1 --directory "$out/site" "$port" ;;
  --test)
    bash tests/web/with-display.bash python3 tests/web/page_tests.py "$out/site" "$native" ;;
esac
