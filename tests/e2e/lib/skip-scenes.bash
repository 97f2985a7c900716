#!/usr/bin/env bash
# skip-scenes.bash PID OUT [COUNT]: presses Enter up to COUNT times (default 10) in the
# focused demo window. After each Enter it presses Space and waits until the clock print
# reaches OUT: Space is handled two frames after the skip, so by then the next scene has
# drawn its first frame. Stops early once the process PID has ended; then waits (up to 60 s)
# for it to end. Fails when the demo stops answering. Starts with one clock print of its
# own, which shows that the demo takes keys.
pid=$1 out=$2 count=${3:-10}
bash "$(dirname "$0")/print-clock.bash" "$pid" "$out" || exit 1
for _ in $(seq "$count"); do
    kill -0 "$pid" 2>/dev/null || break
    before=$(wc -l < "$out")
    xdotool key Return space
    for _ in $(seq 1200); do
        [ "$(wc -l < "$out")" -gt "$before" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    if [ "$(wc -l < "$out")" -le "$before" ] && kill -0 "$pid" 2>/dev/null; then
        echo "skip-scenes: no clock print within 60 s of a skip" >&2
        exit 1
    fi
done
for _ in $(seq 1200); do
    kill -0 "$pid" 2>/dev/null || exit 0
    sleep 0.05
done
echo "skip-scenes: the demo did not end" >&2
exit 1
