#!/usr/bin/env bash
# The player under faults of its surroundings:
# - standard output a pipe whose reader has gone: Space prints the clock into it, and the
#   show goes on to its end (exit 0) instead of dying by SIGPIPE;
# - SIGHUP (its terminal closed) ends the show like a termination request (exit 0);
# - a GL context that cannot be created (an address-space limit makes the GL driver fail)
#   ends with one "Error: " line and exit 1, not with Xlib's report of the refused request.
source "$(dirname "$0")/lib/common.bash"
export DEMO SDL_AUDIODRIVER=dummy
run=$(make_run_dir player-faults)
cd "$run"

under_xvfb '
    { "$DEMO" --window=320x200 --mute --start=86000 2> err.txt; echo $? > code.txt; } | true &
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    for _ in $(seq 10); do xdotool key space; sleep 0.2; done
    wait'
[ "$(cat code.txt)" = 0 ] || fail "closed standard output: exit $(cat code.txt) after Space ($(tail -c 300 err.txt))"
echo "ok: Space into a closed pipe, the show ended by itself"

# The signal goes once the loop runs (a printed clock says so): during start-up a request
# ends the process at once, by the signal, and the window is up before start-up has ended.
under_xvfb '
    "$DEMO" --window=320x200 --mute --start=60000 > out.txt 2> err.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    bash "$PRINT_CLOCK" $pid out.txt || exit 1
    kill -HUP $pid
    wait_exit $pid 10 > code.txt'
[ "$(cat code.txt)" = 0 ] || fail "SIGHUP: exit $(cat code.txt) ($(tail -c 300 err.txt))"
echo "ok: SIGHUP ended the show"

# 200 MB of address space: the program starts, the GL driver cannot load its renderer and
# the X server refuses the context it then asks for. (A sanitizer build cannot start at all
# under such a limit: its shadow memory alone is larger.)
# (Not "ldd | grep -q": under pipefail, grep ending at the first match fails ldd with SIGPIPE.)
if [[ $(ldd "$DEMO") == *libasan* ]]; then
    echo "player faults: ok (no GL context: not tried in a sanitizer build)"
    exit 0
fi
under_xvfb '(ulimit -v 200000; exec "$DEMO" --window=320x200 --mute > out.txt 2> err.txt); echo $? > code.txt' 60
[ "$(cat code.txt)" = 1 ] || fail "no GL context: exit $(cat code.txt) ($(cat out.txt) $(tail -c 300 err.txt))"
[ "$(wc -l < out.txt)" = 1 ] && grep -q '^Error: ' out.txt || fail "no GL context: output '$(cat out.txt)'"
! grep -q 'X Error' err.txt || fail "no GL context: Xlib's report on stderr: $(grep -A3 'X Error' err.txt)"
echo "ok: no GL context: $(cat out.txt)"
echo "player faults: ok"
