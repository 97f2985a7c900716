#!/usr/bin/env bash
# --window with --mute and no usable audio driver: a normal window of the asked size, and
# the closing scene's viewport is the window's, so the plate (the only red-orange thing in
# the scene) lies in the window's lower-left corner, whole in width. A resized window keeps
# the show filling it: the closing scene, and the greetings picture (which draws in the
# viewport the GL state holds), playing and paused (the held picture is taken again at the
# new size). Loop ranges keep each run in its scene whatever the machine's speed.
source "$(dirname "$0")/lib/common.bash"
export DEMO
run=$(make_run_dir window)
cd "$run"
SDL_AUDIODRIVER=no-such-driver under_xvfb '
    grab() {  # grab SCENE FILE W H: the window'"'"'s pixels once it has that size
        for _ in $(seq 200); do
            xdotool getwindowgeometry "$id" | grep -q "Geometry: $3x$4" && break
            sleep 0.05
        done
        eval $(xdotool getwindowgeometry --shell "$id")
        grab_fitting "$@" "$X" "$Y"
    }
    "$DEMO" --mute --window=640x360 --loop-range=83500-90000 > out.txt & pid=$!
    id=$(bash "$WAIT_WINDOW") || exit 1
    xdotool getwindowgeometry "$id" > geometry.txt
    grab closing window.rgb 640 360
    xdotool windowsize "$id" 800 300
    grab closing resized.rgb 800 300
    xdotool key Escape
    wait_exit $pid 60 > code.txt
    "$DEMO" --mute --window=640x360 --loop-range=73000-77000 > out2.txt & pid=$!
    id=$(bash "$WAIT_WINDOW") || exit 1
    xdotool windowsize "$id" 800 300
    grab greetings picture.rgb 800 300
    bash "$KEY_AND_PRINT" $pid out2.txt p || exit 1
    xdotool windowsize "$id" 500 400
    grab greetings paused.rgb 500 400
    xdotool key Escape
    wait_exit $pid 60 > code2.txt' || true
[ -f code.txt ] || fail "--mute --window: the run did not finish: $(cat out.txt)"
[ "$(cat code.txt)" = 0 ] || fail "--mute --window: exit $(cat code.txt): $(cat out.txt)"
[ "$(cat code2.txt 2>/dev/null)" = 0 ] || fail "the greetings run: exit $(cat code2.txt 2>/dev/null): $(cat out2.txt)"
grep -q 'Geometry: 640x360' geometry.txt || fail "--window size: $(cat geometry.txt)"
[ -d "$BUILD_DIR/data" ] || { echo "no generated data: the frames are not checked"; exit 0; }
python3 "$FRAME_FITS" closing window.rgb 640 360 || fail "--window: the closing scene does not fit the window"
python3 "$FRAME_FITS" closing resized.rgb 800 300 || fail "a resized window: the closing scene does not fill it"
python3 "$FRAME_FITS" greetings picture.rgb 800 300 || fail "a resized window: the picture does not fill it"
python3 "$FRAME_FITS" greetings paused.rgb 500 400 || fail "a window resized while paused: the picture does not fill it"
echo "player window: ok"
