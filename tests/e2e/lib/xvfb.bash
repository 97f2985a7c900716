# A private Xvfb for one run (source this file; bash only).
# - The server picks its display number itself (-displayfd), so two servers started at the
#   same moment never race for one number, and a client is never sent to a display that
#   another server took first.
# - A cookie of its own (any display number) in a private XAUTHORITY: clients of this run
#   are refused by any other server, and other clients by this one.
# - -noreset: by default Xvfb resets when its last client leaves, and a client that
#   connects during the reset is refused. The e2e scripts poll with short-lived xdotool
#   connections while the demo starts, so the demo's own connection could land in a reset.
# - No TCP.

# start_xvfb DIR [WxHxD]: starts the server (default 1920x1080x24) with its files in DIR and exports
# DISPLAY, XAUTHORITY and XVFB_PID. Returns 1, with one line on stderr, when no server is
# ready within 30 s.
start_xvfb() {
    local dir=$1 screen=${2:-1920x1080x24} i
    mkdir -p "$dir"
    : > "$dir/xauthority"
    : > "$dir/display"
    # Family ffff (any address), empty display number, MIT-MAGIC-COOKIE-1, 16 random bytes.
    echo "ffff 0000  0000  0012 4d49542d4d414749432d434f4f4b49452d31 0010 $(od -An -tx1 -N16 /dev/urandom | tr -d ' \n')" |
        xauth -q -f "$dir/xauthority" nmerge - || { echo "xvfb: cannot write the cookie" >&2; return 1; }
    Xvfb -displayfd 3 -screen 0 "$screen" -noreset -nolisten tcp -auth "$dir/xauthority" \
        3> "$dir/display" > "$dir/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for ((i = 0; i < 300; ++i)); do
        [ -s "$dir/display" ] && break
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then
            echo "xvfb: the server did not start: $(tail -n 2 "$dir/xvfb.log" | tr '\n' ' ')" >&2
            return 1
        fi
        sleep 0.1
    done
    if [ ! -s "$dir/display" ]; then
        echo "xvfb: the server did not report a display within 30 s" >&2
        stop_xvfb
        return 1
    fi
    DISPLAY=":$(tr -d ' \n' < "$dir/display")"
    XAUTHORITY="$dir/xauthority"
    export DISPLAY XAUTHORITY XVFB_PID
}

# stop_xvfb: ends the server of start_xvfb (TERM, then KILL after 5 s).
stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] || return 0
    local i
    kill "$XVFB_PID" 2>/dev/null || true
    for ((i = 0; i < 50; ++i)); do kill -0 "$XVFB_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
    return 0
}

# run_bounded SECONDS COMMAND...: runs COMMAND in a process group of its own and returns its
# status. When it has not ended after SECONDS, says so on stderr, ends the whole group and
# returns 124. Whatever the command left running is ended with it.
run_bounded() {
    local bound=$1 pid i status=0
    shift
    setsid "$@" &
    pid=$!
    for ((i = 0; i < bound * 10; ++i)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "the run did not finish within $bound s: ended it" >&2
        kill -TERM -- "-$pid" 2>/dev/null || true
        sleep 2
        kill -KILL -- "-$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        return 124
    fi
    wait "$pid" || status=$?
    kill -KILL -- "-$pid" 2>/dev/null || true
    return "$status"
}

# wait_exit PID SECONDS: waits up to SECONDS for the child process PID to end and prints
# its exit code. When it has not ended, says so on stderr, kills it and prints "timeout".
wait_exit() {
    local i code=0
    for ((i = 0; i < $2 * 10; ++i)); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$1" 2>/dev/null; then
        echo "the demo did not end within $2 s: killed it" >&2
        kill -9 "$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
        echo timeout
        return 1
    fi
    wait "$1" || code=$?
    echo "$code"
}
export -f wait_exit
