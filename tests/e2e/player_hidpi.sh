#!/usr/bin/env bash
# A Wayland output scaled by 2 (weston, 640x360 logical, 1280x720 pixels) and SDL's Wayland
# video driver: the full-screen show's drawable has the output's pixels, twice the logical
# size, and the frame is drawn over all of it: the output's pixels, read from weston's
# window, hold the closing scene up to their top and right edges. Made a window by
# Alt+Enter, the show draws at that window's drawable, twice its size (--frame-stats says
# what it drew at last).
source "$(dirname "$0")/lib/common.bash"
source "$(dirname "$0")/lib/weston.bash"
need_weston
export DEMO
run=$(make_run_dir hidpi)
cd "$run"
SDL_AUDIODRIVER=no-such-driver under_xvfb '
    start_weston "$PWD/weston" --width=640 --height=360 --scale=2 || exit 1
    SDL_VIDEODRIVER=wayland "$DEMO" --mute --loop-range=83500-90000 --frame-stats \
        > out.txt 2> stats.txt & pid=$!
    # The output is the only window of the X server: its pixels, once they show the
    # closing scene.
    grab_fitting closing output.rgb 1280 720 0 0
    # Keys reach the show through weston'"'"'s window once it has the X focus. Alt+Enter: a
    # window of 1280x720 made to fit three quarters of the 640x360 output, 480x270, whose
    # drawable, 960x540, the show then draws at.
    xdotool windowfocus "$(xwininfo -root -tree | awk "/\"Weston Compositor - screen0\"/ { print \$1; exit }")"
    bash "$KEY_AND_PRINT" $pid out.txt || exit 1
    bash "$KEY_AND_PRINT" $pid out.txt alt+Return || exit 1
    sleep 2  # for the compositor to make it a window
    xdotool key Escape
    wait_exit $pid 60 > code.txt' || true
[ -f code.txt ] || fail "the run did not finish: $(cat out.txt stats.txt)"
[ "$(cat code.txt)" = 0 ] || fail "exit $(cat code.txt): $(cat out.txt stats.txt)"
grep -q 'drawn at 960x540 pixels$' stats.txt ||
    fail "Alt+Enter on the scaled output: not drawn at the window's pixels: $(cat stats.txt)"
# The drawable is the output's 1280x720 pixels (reported by --frame-stats only at the end:
# a frame drawn at the logical 640x360 covers a quarter of the grab, one scaled up by
# weston comes from a 640x360 drawable, which the end's 960x540 rules out as well).
[ -d "$BUILD_DIR/data" ] || { echo "no generated data: the frame is not checked"; exit 0; }
python3 "$FRAME_FITS" closing output.rgb 1280 720 ||
    fail "the frame does not cover the scaled output's pixels"
echo "player hidpi: ok"
