#!/usr/bin/env bash
# --window with --mute and no usable audio driver: a normal window of the asked size, and
# the closing scene's viewport is the window's, so the plate (the only red-orange thing in
# the scene) lies in the window's lower-left corner, whole in width. The run ends by itself.
source "$(dirname "$0")/lib/common.bash"
export DEMO
run=$(make_run_dir window)
cd "$run"
SDL_AUDIODRIVER=no-such-driver under_xvfb '
    "$DEMO" --mute --window=640x360 --start=83500 > out.txt & pid=$!
    id=$(bash "$WAIT_WINDOW") || exit 1
    xdotool getwindowgeometry "$id" > geometry.txt
    sleep 1
    eval $(xdotool getwindowgeometry --shell "$id")
    ffmpeg -loglevel error -y -f x11grab -video_size 640x360 -i "$DISPLAY+$X,$Y" \
        -frames:v 1 -f rawvideo -pix_fmt rgb24 window.rgb
    wait_exit $pid 60 > code.txt' || true
[ -f code.txt ] || fail "--mute --window: the run did not finish: $(cat out.txt)"
[ "$(cat code.txt)" = 0 ] || fail "--mute --window: exit $(cat code.txt): $(cat out.txt)"
grep -q 'Geometry: 640x360' geometry.txt || fail "--window size: $(cat geometry.txt)"
[ -d "$BUILD_DIR/data" ] || { echo "no generated data: closing scene not checked"; exit 0; }
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
echo "player window: ok"
