#!/usr/bin/env bash
# Waits until a window of class demo exists (other than the id in $1, when given: the window
# of a run that has since restarted) and has the keyboard focus; prints its id. Fails with
# one line on stderr when there is no window within 30 s or no focus 10 s after it.
old=${1:-none}
id=
for _ in $(seq 600); do
    id=$(xdotool search --class demo 2>/dev/null | grep -vx "$old" | head -n 1)
    [ -n "$id" ] && break
    sleep 0.05
done
[ -n "$id" ] || { echo "wait-window: no demo window within 30 s" >&2; exit 1; }
for _ in $(seq 200); do
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$id" ] && { echo "$id"; exit 0; }
    sleep 0.05
done
echo "wait-window: the demo window $id did not get the keyboard focus within 10 s" >&2
exit 1
