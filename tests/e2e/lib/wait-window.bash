#!/usr/bin/env bash
# Waits until a window of class demo exists (other than the id in $1, when given: the window
# of a run that has since restarted) and has the keyboard focus; prints its id.
old=${1:-none}
for _ in $(seq 400); do
    id=$(xdotool search --class demo 2>/dev/null | grep -vx "$old" | head -n 1)
    [ -n "$id" ] && break
    sleep 0.05
done
for _ in $(seq 200); do
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$id" ] && break
    sleep 0.05
done
echo "$id"
