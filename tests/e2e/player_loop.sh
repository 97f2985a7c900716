#!/usr/bin/env bash
# --loop: a run from 87000 lasts about 3.6 s; after it the show starts again as a fresh run
# (same process id, so the restart shows in the clock: 5 s later it stands far below the
# first value plus 5 s). A termination request then ends it with 0.
source "$(dirname "$0")/lib/common.bash"
export DEMO
run=$(make_run_dir loop)
cd "$run"
SDL_AUDIODRIVER=dummy under_xvfb '
    "$DEMO" --mute --loop --start=87000 > out.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    bash "$PRINT_CLOCK" $pid out.txt || exit 1; first=$(date +%s%3N)
    sleep 5
    bash "$PRINT_CLOCK" $pid out.txt || exit 1; second=$(date +%s%3N)
    echo $((second - first)) > elapsed.txt
    kill -TERM $pid
    wait_exit $pid 30 > code.txt' || true
[ -f code.txt ] || fail "--loop: the run did not finish ($(cat out.txt))"
mapfile -t prints < out.txt
[ "${#prints[@]}" -ge 2 ] || fail "--loop: the show did not run on after its end ($(cat out.txt))"
elapsed=$(cat elapsed.txt)
[ "${prints[-1]}" -lt $((prints[0] + elapsed - 1000)) ] ||
    fail "--loop: no fresh run (clock ${prints[0]} then ${prints[-1]} after $elapsed ms)"
[ "$(cat code.txt)" = 0 ] || fail "--loop: the end request did not end it with 0 ($(cat code.txt))"
echo "player loop: ok (clock ${prints[0]}, then ${prints[-1]} after $elapsed ms)"
