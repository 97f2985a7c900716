#!/usr/bin/env bash
# Player options through the real binary: --help/--version/unknown options, --mute without
# any audio driver, --window size, --loop restarting after the end, and the data fallback of
# an installed demo run from another working directory.
source "$(dirname "$0")/lib/common.bash"
export DEMO

"$DEMO" --help | grep -q -- '--window' || fail "--help lacks --window"
"$DEMO" --version | grep -q '^demo ' || fail "--version"
set +e
"$DEMO" --no-such-option > /dev/null 2> "$WORK_DIR/err.txt"
code=$?
set -e
[ "$code" = 2 ] || fail "unknown option: exit $code"
[ "$(wc -l < "$WORK_DIR/err.txt")" = 1 ] || fail "unknown option: not one line"

# --mute: no audio device at all is needed. --window: a normal window of the asked size.
run=$(make_run_dir mute)
cd "$run"
SDL_AUDIODRIVER=no-such-driver under_xvfb '
    "$DEMO" --mute --window=640x360 > out.txt & pid=$!
    id=$(bash "$WAIT_WINDOW")
    xdotool getwindowgeometry "$id" > geometry.txt
    xdotool key Escape
    wait $pid; echo $? > code.txt'
[ "$(cat code.txt)" = 0 ] || fail "--mute: exit $(cat code.txt): $(cat out.txt)"
grep -q 'Geometry: 640x360' geometry.txt || fail "--window size: $(cat geometry.txt)"

# --loop: a run from 87000 lasts about 3.6 s; after it the show must open a new window (a
# fresh run of the same program), and Escape must then end it with 0.
run=$(make_run_dir loop)
cd "$run"
SDL_AUDIODRIVER=dummy under_xvfb '
    "$DEMO" --mute --loop --start=87000 > out.txt & pid=$!
    first=$(bash "$WAIT_WINDOW")
    second=$(timeout 30 bash "$WAIT_WINDOW" "$first")
    restarted=no; [ -n "$second" ] && kill -0 $pid 2>/dev/null && restarted=yes
    echo $restarted > restarted.txt
    xdotool key Escape
    for i in $(seq 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    kill -9 $pid 2>/dev/null && echo killed > code.txt || { wait $pid; echo $? > code.txt; }'
[ "$(cat restarted.txt)" = yes ] || fail "--loop: the show did not start again"
[ "$(cat code.txt)" = 0 ] || fail "--loop: Escape did not end it with 0 ($(cat code.txt))"

# Installed: the data beside the program is found from any working directory.
prefix="$WORK_DIR/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" > /dev/null
[ -x "$prefix/bin/demo" ] || fail "install: no bin/demo"
[ -f "$prefix/share/applications/soltarek.desktop" ] || fail "install: no desktop entry"
if [ -d "$BUILD_DIR/data" ]; then
    [ -d "$prefix/share/soltarek/data" ] || fail "install: no data"
    elsewhere="$WORK_DIR/elsewhere"
    mkdir -p "$elsewhere"
    cd "$elsewhere"
    export INSTALLED="$prefix/bin/demo"
    SDL_AUDIODRIVER=dummy under_xvfb '
        "$INSTALLED" --mute > out.txt & pid=$!
        bash "$WAIT_WINDOW" > /dev/null
        xdotool key Escape
        wait $pid; echo $? > code.txt'
    [ "$(cat code.txt)" = 0 ] || fail "installed demo: exit $(cat code.txt): $(cat out.txt)"
fi
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
echo "player options: ok"
