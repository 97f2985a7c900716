#!/usr/bin/env bash
# The real demo under Xvfb: Space prints the clock value; Escape ends it with 0; ten Enter
# presses skip through all scenes and end it with 0. Each run starts with one Space press
# that is repeated until it prints (print-clock.bash): that proves the window takes keys,
# since the first key after the focus arrives is sometimes lost under Xvfb.
source "$(dirname "$0")/lib/common.bash"
export SDL_AUDIODRIVER=dummy DEMO="$DEMO"

run=$(make_run_dir keys)
cd "$run"
under_xvfb '
    "$DEMO" > out.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    bash "$PRINT_CLOCK" $pid out.txt || exit 1
    bash "$PRINT_CLOCK" $pid out.txt || exit 1
    xdotool key Escape
    wait_exit $pid 30 > code.txt' || true
[ -f code.txt ] || fail "Escape: the run did not finish; output: $(cat out.txt)"
[ "$(cat code.txt)" = 0 ] || fail "Escape: exit code $(cat code.txt), output: $(cat out.txt)"
mapfile -t lines < out.txt
[ "${#lines[@]}" = 2 ] || fail "expected two clock prints, got: $(cat out.txt)"
[[ "${lines[0]}" =~ ^[0-9]+$ && "${lines[1]}" =~ ^[0-9]+$ ]] || fail "not clock values: $(cat out.txt)"
[ "${lines[1]}" -ge "${lines[0]}" ] || fail "clock went back: $(cat out.txt)"

under_xvfb '
    "$DEMO" > out2.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    bash "$PRINT_CLOCK" $pid out2.txt || exit 1
    for i in $(seq 10); do xdotool key Return; sleep 0.1; done
    wait_exit $pid 30 > code2.txt' || true
[ -f code2.txt ] || fail "ten Enter presses: the run did not finish"
[ "$(cat code2.txt)" = 0 ] || fail "ten Enter presses: $(cat code2.txt)"
echo "keys: ok"
