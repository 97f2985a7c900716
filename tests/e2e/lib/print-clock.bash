#!/usr/bin/env bash
# print-clock.bash PID OUT: presses Space until the demo PID has printed one more clock
# value to OUT (the first key after the window gains focus is sometimes lost); fails after
# 60 s without a print or when the demo has ended.
pid=$1 out=$2
before=$(wc -l < "$out")
for _ in $(seq 30); do
    xdotool key space
    for _ in $(seq 40); do
        [ "$(wc -l < "$out")" -gt "$before" ] && exit 0
        kill -0 "$pid" 2>/dev/null || { echo "print-clock: the demo has ended" >&2; exit 1; }
        sleep 0.05
    done
done
echo "print-clock: no clock print within 60 s" >&2
exit 1
