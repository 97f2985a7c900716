#!/usr/bin/env bash
# The process stopped with SIGSTOP for 20 s in scene 2 (24096 to 32096 ms) and continued:
# the clock is wall time, so the first frame after the stop lies 20 s later, past scene 3,
# and the timeline moves straight there; the show then still ends normally with exit 0.
source "$(dirname "$0")/lib/common.bash"
export SDL_AUDIODRIVER=dummy DEMO="$DEMO"
run=$(make_run_dir stop)
cd "$run"
under_xvfb '
    "$DEMO" --start=26000 > out.txt 2> err.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    # Print the clock until it is past 28700, late enough in scene 2 for the stop to reach
    # scene 4; the last print before the stop goes to before.txt.
    for n in $(seq 100); do
        bash "$PRINT_CLOCK" $pid out.txt || break
        [ "$(tail -n 1 out.txt)" -gt 28700 ] && break
        sleep 0.2
    done
    kill -STOP $pid
    tail -n 1 out.txt > before.txt; lines=$(wc -l < out.txt)
    sleep 20
    kill -CONT $pid
    bash "$PRINT_CLOCK" $pid out.txt || exit 1
    tail -n +$((lines + 1)) out.txt > after.txt
    bash "$SKIP_SCENES" $pid out.txt 10 || kill $pid
    wait_exit $pid 30 > code.txt' 240 || true
[ -f code.txt ] || fail "the run did not finish; $(tail -5 err.txt)"
[ "$(cat code.txt)" = 0 ] || fail "exit $(cat code.txt); $(tail -5 err.txt)"
mapfile -t prints < after.txt
before=$(cat before.txt) after=${prints[0]}
[ "$before" -gt 24096 ] && [ "$before" -le 32096 ] || fail "the stop did not begin in scene 2: $before"
[ "$after" -ge $((before + 19500)) ] || fail "the clock did not move on by the stop: $before, then $after"
[ "$after" -gt 48096 ] || fail "not past scene 3 after the stop: $after"
# After the jump only scenes 4 (or later) to 9 were left to skip: at most 1 + 5 more prints.
[ "${#prints[@]}" -le 7 ] || fail "too many scenes left after the stop: ${prints[*]}"
echo "ok: clock $before before the stop, $after after it; ended with 0"
