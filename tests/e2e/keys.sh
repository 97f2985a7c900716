#!/usr/bin/env bash
# The real demo under Xvfb: Escape ends it with 0; Space prints the clock value; ten Enter
# presses skip through all scenes and end it with 0.
source "$(dirname "$0")/lib/common.bash"
export SDL_AUDIODRIVER=dummy DEMO="$DEMO"

run=$(make_run_dir keys)
cd "$run"
under_xvfb '
    "$DEMO" > out.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null
    xdotool key space
    sleep 0.5
    xdotool key space
    sleep 0.5
    xdotool key Escape
    wait $pid; echo $? > code.txt'
[ "$(cat code.txt)" = 0 ] || fail "Escape: exit code $(cat code.txt), output: $(cat out.txt)"
mapfile -t lines < out.txt
[ "${#lines[@]}" = 2 ] || fail "expected two clock prints, got: $(cat out.txt)"
[[ "${lines[0]}" =~ ^[0-9]+$ && "${lines[1]}" =~ ^[0-9]+$ ]] || fail "not clock values: $(cat out.txt)"
[ "${lines[1]}" -ge "${lines[0]}" ] || fail "clock went back: $(cat out.txt)"

under_xvfb '
    "$DEMO" > out2.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null
    for i in $(seq 10); do xdotool key Return; sleep 0.1; done
    for i in $(seq 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then kill $pid; echo timeout > code2.txt; else wait $pid; echo $? > code2.txt; fi'
[ "$(cat code2.txt)" = 0 ] || fail "ten Enter presses: $(cat code2.txt)"
echo "keys: ok"
