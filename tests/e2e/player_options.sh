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

# --window in the closing scene: the viewport is the window's, so the plate (the only
# red-orange thing in the scene) lies in the window's lower-left corner and is whole in width.
run=$(make_run_dir window)
cd "$run"
SDL_AUDIODRIVER=dummy under_xvfb '
    "$DEMO" --mute --window=640x360 --start=83500 > out.txt & pid=$!
    id=$(bash "$WAIT_WINDOW")
    sleep 1
    eval $(xdotool getwindowgeometry --shell "$id")
    ffmpeg -loglevel error -y -f x11grab -video_size 640x360 -i "$DISPLAY+$X,$Y" \
        -frames:v 1 -f rawvideo -pix_fmt rgb24 window.rgb
    xdotool key Escape
    wait $pid; echo $? > code.txt'
[ "$(cat code.txt)" = 0 ] || fail "--window closing scene: exit $(cat code.txt)"
python3 - window.rgb <<'PY' || fail "--window: the closing scene does not fit the window"
import sys
data = open(sys.argv[1], "rb").read()
w, h = 640, 360
assert len(data) == w * h * 3, len(data)
xs, ys = [], []
for y in range(h):
    row = data[y * w * 3:(y + 1) * w * 3]
    for x in range(w):
        r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
        if r > 150 and r > b + 40:
            xs.append(x); ys.append(y)
lit = sum(1 for i in range(0, len(data), 3) if data[i] + data[i + 1] + data[i + 2] > 60)
print("plate pixels", len(xs), "x", min(xs, default=-1), max(xs, default=-1),
      "y", min(ys, default=-1), max(ys, default=-1), "lit", lit)
assert len(xs) > 500 and max(xs) < 280 and min(ys) > 180 and max(ys) == h - 1
assert lit > 0.8 * w * h  # the walls fill the whole window
PY

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
