# A private weston for one run, inside the private Xvfb of under_xvfb (source this file; bash
# only). weston's X11 backend runs as a window of that Xvfb: its outputs' pixels can be read
# there, and it offers a seat. The headless backend has none, and SDL 2.26's Wayland video
# driver crashes at start-up without a seat. Clients reach it through a socket in a runtime
# directory of the run's own. With --xwayland, an X client's first connection starts
# Xwayland (kept running: see below), whose RandR outputs are weston's outputs side by side: an X server with several
# monitors, as SDL's X11 driver sees them (Xvfb has one RandR output, whatever its screens).

# need_weston [xwayland]: skips the test (exit 77) where weston, or Xwayland, is missing.
need_weston() {
    command -v weston > /dev/null && { [ "${1:-}" != xwayland ] || command -v Xwayland > /dev/null; } ||
        { echo "no weston${1:+ or Xwayland} (scripts/install-deps.sh test): skipped"; exit 77; }
}

# start_weston DIR WESTON_OPTION...: starts weston (X11 backend, pixman renderer, no
# weston.ini) with its files in DIR and exports XDG_RUNTIME_DIR, WAYLAND_DISPLAY and
# WESTON_PID; with --xwayland also WESTON_X_DISPLAY, Xwayland's display. Returns 1, with one
# line on stderr, when it is not ready within 30 s.
start_weston() {
    local dir=$1 i
    shift
    mkdir -p "$dir/runtime"
    chmod 700 "$dir/runtime"
    export XDG_RUNTIME_DIR="$dir/runtime" WAYLAND_DISPLAY=weston-e2e
    weston --backend=x11-backend.so --use-pixman --no-config --idle-time=0 \
        --socket="$WAYLAND_DISPLAY" --log="$dir/weston.log" "$@" > "$dir/weston.out" 2>&1 &
    WESTON_PID=$!
    export WESTON_PID
    for ((i = 0; i < 300; ++i)); do
        if ! kill -0 "$WESTON_PID" 2>/dev/null; then
            echo "weston: did not start: $(tail -n 2 "$dir/weston.log" "$dir/weston.out" | tr '\n' ' ')" >&2
            return 1
        fi
        # Ready once the shell runs: its client was launched after the socket was made.
        if [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && grep -q "launching '.*weston-desktop-shell'" "$dir/weston.log" 2>/dev/null; then
            WESTON_X_DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$dir/weston.log" | head -n 1)
            export WESTON_X_DISPLAY
            [ -z "$WESTON_X_DISPLAY" ] && return 0
            # weston starts Xwayland with -terminate: it ends when its last client leaves,
            # and a client that connects meanwhile can find no server. One client stays
            # connected for the run (ended with the run's process group).
            DISPLAY=$WESTON_X_DISPLAY xdotool sleep 3600 > /dev/null 2>&1 &
            for ((i = 0; i < 300; ++i)); do
                DISPLAY=$WESTON_X_DISPLAY xdotool getdisplaygeometry > /dev/null 2>&1 && return 0
                sleep 0.1
            done
            echo "weston: Xwayland did not answer on $WESTON_X_DISPLAY within 30 s" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "weston: not ready within 30 s: $(tail -n 2 "$dir/weston.log" | tr '\n' ' ')" >&2
    kill "$WESTON_PID" 2>/dev/null || true
    return 1
}
export -f start_weston
