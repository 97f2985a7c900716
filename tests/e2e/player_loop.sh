#!/usr/bin/env bash
# --loop: a run from 87000 lasts about 3.6 s; after it the show opens a new window (a fresh
# run of the same program, same process id). A termination request then ends it with 0.
source "$(dirname "$0")/lib/common.bash"
export DEMO
run=$(make_run_dir loop)
cd "$run"
SDL_AUDIODRIVER=dummy under_xvfb '
    "$DEMO" --mute --loop --start=87000 > out.txt & pid=$!
    first=$(bash "$WAIT_WINDOW")
    second=$(timeout 60 bash "$WAIT_WINDOW" "$first")
    restarted=no; [ -n "$second" ] && kill -0 $pid 2>/dev/null && restarted=yes
    echo $restarted > restarted.txt
    kill -TERM $pid
    for i in $(seq 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    kill -9 $pid 2>/dev/null && echo killed > code.txt || { wait $pid; echo $? > code.txt; }'
[ "$(cat restarted.txt)" = yes ] || fail "--loop: the show did not start again"
[ "$(cat code.txt)" = 0 ] || fail "--loop: the end request did not end it with 0 ($(cat code.txt))"
echo "player loop: ok"
