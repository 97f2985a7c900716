#!/usr/bin/env bash
# Two monitors side by side (weston's two outputs, as Xwayland's RandR outputs and as
# Wayland outputs): --list-displays names both with their places; --display=1 puts the
# full-screen show on the second (X and Wayland), the default on the primary; a monitor that is not there
# is refused like a wrong option (exit 2, one line), before any window or sound.
source "$(dirname "$0")/lib/common.bash"
source "$(dirname "$0")/lib/weston.bash"
need_weston xwayland
export DEMO
run=$(make_run_dir displays)
cd "$run"
SDL_AUDIODRIVER=no-such-driver under_xvfb '
    start_weston "$PWD/weston" --width=640 --height=360 --output-count=2 --xwayland || exit 1
    [ -n "$WESTON_X_DISPLAY" ] || { echo "weston started no Xwayland" >&2; exit 1; }
    SDL_VIDEODRIVER=wayland "$DEMO" --list-displays > wayland-list.txt 2> wayland-list.err
    echo $? > wayland-list.code
    # On Wayland: the second output shows the show, the first the desktop. weston makes each
    # output a window at 0,0 of the Xvfb: the second is moved beside the first to be read.
    second=$(xwininfo -root -tree | awk "/\"Weston Compositor - screen1\"/ { print \$1; exit }")
    xdotool windowmove "$second" 640 0
    SDL_VIDEODRIVER=wayland "$DEMO" --mute --display=1 --loop-range=83500-90000 \
        > wayland.txt 2>&1 & pid=$!
    grab_fitting closing wayland1.rgb 640 360 640 0
    ffmpeg -loglevel error -y -f x11grab -video_size 640x360 -i "$DISPLAY+0,0" \
        -frames:v 1 -f rawvideo -pix_fmt rgb24 wayland0.rgb
    kill $pid 2> /dev/null
    wait_exit $pid 30 > wayland.code
    export DISPLAY=$WESTON_X_DISPLAY
    "$DEMO" --list-displays > list.txt 2> list.err; echo $? > list.code
    "$DEMO" --mute --display=2 > refused.out 2> refused.txt; echo $? > refused.code
    # The window (30 s at most), then, as the window manager places a new window first and
    # then makes it full screen, its cover of the monitor asked for (5 s at most).
    for n in 0 1; do
        "$DEMO" --mute --display=$n --loop-range=89000-90000 > out$n.txt 2>&1 & pid=$!
        id=
        for _ in $(seq 600); do
            id=$(xdotool search --class demo 2>/dev/null | head -n 1)
            [ -n "$id" ] && break
            sleep 0.05
        done
        for _ in $(seq 100); do
            xdotool getwindowgeometry "$id" 2> /dev/null | tr "\n" " " |
                grep -q "Position: $((n * 640)),0 .*Geometry: 640x360" && break
            sleep 0.05
        done
        xdotool getwindowgeometry "$id" > geometry$n.txt 2>&1
        kill $pid 2> /dev/null
        wait_exit $pid 30 > code$n.txt
    done' || true
[ "$(cat list.code 2>/dev/null)" = 0 ] || fail "--list-displays: exit $(cat list.code 2>/dev/null): $(cat list.err 2>/dev/null)"
cat list.txt
grep -qx '0: XWAYLAND0.* at 0,0, 640x360' list.txt && grep -qx '1: XWAYLAND1.* at 640,0, 640x360' list.txt &&
    [ "$(wc -l < list.txt)" = 2 ] || fail "--list-displays on X: $(cat list.txt)"
[ "$(cat wayland-list.code)" = 0 ] && grep -q '^1: .* at 640,0, 640x360$' wayland-list.txt ||
    fail "--list-displays on Wayland: $(cat wayland-list.txt wayland-list.err)"
[ "$(cat refused.code)" = 2 ] && [ "$(wc -l < refused.txt)" = 1 ] &&
    grep -q -- '--display=2: there is no display 2' refused.txt && [ ! -s refused.out ] ||
    fail "--display=2 of 2: exit $(cat refused.code): $(cat refused.txt refused.out)"
# SIGTERM ends a show that has not yet begun at once (143), one that plays as Escape does.
for n in 0 1; do
    grep -qx '0\|143' code$n.txt 2>/dev/null || fail "--display=$n: exit $(cat code$n.txt 2>/dev/null): $(cat out$n.txt)"
done
grep -qx '0\|143' wayland.code 2>/dev/null || fail "--display=1 on Wayland: exit $(cat wayland.code 2>/dev/null): $(cat wayland.txt)"
# On its monitor: weston's window manager now and then leaves a window made full screen at
# its creation where it placed it first, so the window's left edge is what tells.
for n in 0 1; do
    x=$(sed -n 's/.*Position: \([0-9]*\),.*/\1/p' geometry$n.txt)
    [ -n "$x" ] && [ "$x" -ge $((n * 640)) ] && [ "$x" -lt $((n * 640 + 640)) ] &&
        grep -q 'Geometry: 640x360' geometry$n.txt ||
        fail "--display=$n: not on monitor $n: $(cat geometry$n.txt out$n.txt)"
done
if [ -d "$BUILD_DIR/data" ]; then
    python3 "$FRAME_FITS" closing wayland1.rgb 640 360 ||
        fail "--display=1 on Wayland: the second output does not show the show: $(cat wayland.txt)"
    ! python3 "$FRAME_FITS" closing wayland0.rgb 640 360 > /dev/null 2>&1 ||
        fail "--display=1 on Wayland: the show is on the first output"
fi
echo "player displays: ok"
