#!/usr/bin/env bash
# The show takes one message per frame, and only keys and the close request are queued for
# it: after a burst of 3000 mouse moves (a few seconds of frames if each took one), Escape
# still ends the run within the next frames.
source "$(dirname "$0")/lib/common.bash"
export SDL_AUDIODRIVER=dummy DEMO
run=$(make_run_dir backlog)
cd "$run"
moves=$(for i in $(seq 3000); do echo "mousemove $((i * 7 % 1900 + 10)) $((i * 3 % 1000 + 40))"; done)
export moves
under_xvfb '
    "$DEMO" --mute > out.txt 2> err.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null
    bash "$PRINT_CLOCK" $pid out.txt
    xdotool $moves key Escape
    escaped=$(date +%s%N)
    for _ in $(seq 1200); do kill -0 $pid 2>/dev/null || break; sleep 0.01; done
    echo $(( ($(date +%s%N) - escaped) / 1000000 )) > ms.txt
    kill $pid 2>/dev/null
    wait $pid; echo $? > code.txt' || true
[ "$(cat code.txt 2>/dev/null)" = 0 ] || fail "exit $(cat code.txt 2>/dev/null); $(tail -3 err.txt)"
ms=$(cat ms.txt)
echo "Escape behind 3000 mouse moves ended the run after $ms ms"
[ "$ms" -lt 3000 ] || fail "Escape took $ms ms behind the mouse moves"
