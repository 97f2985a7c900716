#!/usr/bin/env bash
# The display missing, unreachable, lost or stuck: the demo never runs unseen (not even on
# a video driver asked for by name that shows nothing) and never waits without end. It says why in one "Error: " line and exits 1, and a termination
# request ends it at once even while it waits on the display.
source "$(dirname "$0")/lib/common.bash"
run=$(make_run_dir nodisplay)
cd "$run"
export SDL_AUDIODRIVER=dummy

# expect_error NAME PATTERN: out.txt is one "Error: " line matching PATTERN, code.txt 1.
expect_error() {
    [ "$(cat code.txt 2>/dev/null)" = 1 ] || fail "$1: exit code $(cat code.txt 2>/dev/null), output: $(cat out.txt)"
    grep -q "^Error: $2" out.txt || fail "$1: no matching error line: $(cat out.txt)"
    [ "$(wc -l < out.txt)" = 1 ] || fail "$1: more than one line: $(cat out.txt)"
    echo "ok: $1 ($(cat out.txt))"
}

# No display at all.
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 "$DEMO" > out.txt 2>/dev/null &
wait_exit $! 30 > code.txt || true
expect_error "no display" "cannot"

# A display that no server answers: SDL would fall back to an invisible offscreen buffer.
n=4242
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
env -u WAYLAND_DISPLAY DISPLAY=":$n" "$DEMO" > out.txt 2>/dev/null &
wait_exit $! 30 > code.txt || true
expect_error "no server on :$n" ""

# Video drivers that draw into memory only are refused even when asked for by name. The
# runs start late, so that one that wrongly plays still ends soon (and fails on its code).
for driver in offscreen dummy evdev; do
    env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=$driver "$DEMO" --mute --start=90000 \
        > out.txt 2>/dev/null &
    wait_exit $! 30 > code.txt || true
    expect_error "SDL_VIDEODRIVER=$driver" "cannot open the display: SDL video driver $driver shows nothing"
done

# The X server ends while the show runs.
start_xvfb "$WORK_DIR/x-lost" || fail "no X server"
"$DEMO" --start=20000 > out.txt 2> err.txt & pid=$!
bash "$WAIT_WINDOW" > /dev/null || fail "lost display: no window; $(cat out.txt err.txt)"
stop_xvfb
wait_exit $pid 30 > code.txt || true
expect_error "lost display" "lost the connection to the display"

# A server that stops answering while the show runs: a termination request asks the loop to
# end the show; a frame stuck on the server never lets it, so the process ends 3 s later.
start_xvfb "$WORK_DIR/x-frozen" || fail "no X server"
"$DEMO" --start=20000 > out.txt 2> err.txt & pid=$!
bash "$WAIT_WINDOW" > /dev/null || fail "frozen display: no window; $(cat out.txt err.txt)"
kill -STOP "$XVFB_PID"
sleep 2
kill -TERM $pid
wait_exit $pid 10 > code.txt || fail "frozen display: a termination request did not end the demo within 10 s"
[ "$(cat code.txt)" = 0 ] || [ "$(cat code.txt)" = $((128 + 15)) ] ||
    fail "frozen display: exit code $(cat code.txt) after the termination request"
kill -CONT "$XVFB_PID"
stop_xvfb
echo "ok: a termination request ends the demo while the display does not answer (exit $(cat code.txt))"

# A server that stops answering (stopped) while the demo opens the display: a termination
# request ends it at once; without one, the bound of that step ends it with a reason.
start_xvfb "$WORK_DIR/x-stuck" || fail "no X server"
kill -STOP "$XVFB_PID"
"$DEMO" > out.txt 2> err.txt & pid=$!
sleep 2
kill -TERM $pid
wait_exit $pid 5 > code.txt || fail "stuck display: a termination request did not end the demo within 5 s"
[ "$(cat code.txt)" = $((128 + 15)) ] || fail "stuck display: exit code $(cat code.txt) after the termination request"
echo "ok: a termination request ends the demo at once while the display does not answer"
"$DEMO" > out.txt 2> err.txt & pid=$!
wait_exit $pid 60 > code.txt || true
kill -CONT "$XVFB_PID"
stop_xvfb
expect_error "stuck display" "opening the display did not finish within 30 s"
