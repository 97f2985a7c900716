#!/usr/bin/env bash
# The player's command line: --help, --version, unknown options, no data anywhere, and an
# installed copy that finds its data from another working directory.
source "$(dirname "$0")/lib/common.bash"
export DEMO

"$DEMO" --help | grep -- '--window' > /dev/null || fail "--help lacks --window"
"$DEMO" --version | grep -q '^demo ' || fail "--version"
set +e
"$DEMO" --no-such-option > /dev/null 2> "$WORK_DIR/err.txt"
code=$?
set -e
[ "$code" = 2 ] || fail "unknown option: exit $code"
[ "$(wc -l < "$WORK_DIR/err.txt")" = 1 ] || fail "unknown option: not one line"

"$DEMO" --window 800x600 --help > /dev/null || fail "--window with its size after a space"
# No audio driver that works: the device list says so instead of listing nothing.
set +e
SDL_AUDIODRIVER=no-such-driver "$DEMO" --list-audio-devices > "$WORK_DIR/list.txt" 2> "$WORK_DIR/err.txt"
code=$?
set -e
[ "$code" = 1 ] && [ ! -s "$WORK_DIR/list.txt" ] || fail "no audio driver: exit $code"
grep -q '^demo: no working audio driver' "$WORK_DIR/err.txt" || fail "no audio driver: $(cat "$WORK_DIR/err.txt")"
SDL_AUDIODRIVER=dummy "$DEMO" --list-audio-devices | grep -q . || fail "the dummy driver's device is not listed"

# No data anywhere: one line that says where it looked, exit 1.
mkdir -p "$WORK_DIR/nodata/bin"
cp "$DEMO" "$WORK_DIR/nodata/bin/demo"
cd "$WORK_DIR/nodata"
set +e
./bin/demo > out.txt
code=$?
set -e
[ "$code" = 1 ] || fail "no data: exit $code"
grep -q 'looked in' out.txt || fail "no data: $(cat out.txt)"

# Installed under a prefix other than the configured one: the programs carry their installed
# names, and the player finds the data relative to itself from any working directory. The
# run starts 300 ms before the end and ends by itself.
prefix="$WORK_DIR/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" > /dev/null
"$prefix/games/soltarek" --version | grep -q '^soltarek (SOLTAREK ASKETRO) ' || fail "installed player: --version"
"$prefix/bin/soltarek-capture" --help | grep '^Usage: soltarek-capture ' > /dev/null || fail "installed recorder: --help"
mkdir -p "$WORK_DIR/elsewhere"
cd "$WORK_DIR/elsewhere"
export INSTALLED="$prefix/games/soltarek"
SDL_AUDIODRIVER=dummy under_xvfb '"$INSTALLED" --start=90300 > out.txt & wait_exit $! 60 > code.txt' || true
[ -f code.txt ] || fail "installed player: the run did not finish: $(cat out.txt)"
[ "$(cat code.txt)" = 0 ] || fail "installed player: exit $(cat code.txt): $(cat out.txt)"
echo "player command line: ok"
