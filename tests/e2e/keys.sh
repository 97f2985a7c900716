#!/usr/bin/env bash
# The real demo under Xvfb: Space prints the clock value; Escape ends it with 0; ten Enter
# presses skip through all scenes and end it with 0. Each run starts with one Space press
# that is repeated until it prints (print-clock.bash): that proves the window takes keys,
# since the first key after the focus arrives is sometimes lost under Xvfb.
source "$(dirname "$0")/lib/common.bash"
export SDL_AUDIODRIVER=dummy DEMO="$DEMO"

# Waits up to 30 s for PID to end; writes its exit code, or "timeout", to FILE.
wait_exit='for i in $(seq 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo timeout > "$CODE"; else wait $pid; echo $? > "$CODE"; fi'

run=$(make_run_dir keys)
cd "$run"
CODE=code.txt under_xvfb '
    "$DEMO" > out.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null
    bash "$PRINT_CLOCK" $pid out.txt
    bash "$PRINT_CLOCK" $pid out.txt
    xdotool key Escape
    '"$wait_exit"
[ "$(cat code.txt)" = 0 ] || fail "Escape: exit code $(cat code.txt), output: $(cat out.txt)"
mapfile -t lines < out.txt
[ "${#lines[@]}" = 2 ] || fail "expected two clock prints, got: $(cat out.txt)"
[[ "${lines[0]}" =~ ^[0-9]+$ && "${lines[1]}" =~ ^[0-9]+$ ]] || fail "not clock values: $(cat out.txt)"
[ "${lines[1]}" -ge "${lines[0]}" ] || fail "clock went back: $(cat out.txt)"

CODE=code2.txt under_xvfb '
    "$DEMO" > out2.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null
    bash "$PRINT_CLOCK" $pid out2.txt
    for i in $(seq 10); do xdotool key Return; sleep 0.1; done
    '"$wait_exit"
[ "$(cat code2.txt)" = 0 ] || fail "ten Enter presses: $(cat code2.txt)"
echo "keys: ok"
