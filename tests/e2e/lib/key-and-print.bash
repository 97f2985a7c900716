#!/usr/bin/env bash
# key-and-print.bash PID OUT [KEY...]: presses the KEYs (xdotool key names), then Space, and
# waits until the demo PID has printed one more clock value to OUT; fails after 20 s without
# one or when the demo has ended. The show takes its messages in order, so the print shows
# the clock after the keys' moves.
pid=$1 out=$2
shift 2
before=$(wc -l < "$out")
xdotool key "$@" space
for _ in $(seq 400); do
    [ "$(wc -l < "$out")" -gt "$before" ] && exit 0
    kill -0 "$pid" 2>/dev/null || { echo "key-and-print: the demo has ended" >&2; exit 1; }
    sleep 0.05
done
echo "key-and-print: no clock print within 20 s of $*" >&2
exit 1
