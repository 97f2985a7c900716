#!/usr/bin/env bash
# A start-up failure seen by nobody at a terminal (as from the desktop entry) also shows its
# message in a dialog; the printed line and exit code 1 stay the same. The dialog waits
# until it is closed, is left out when standard output is a terminal or SOLTAREK_NO_DIALOG
# is set, and costs nothing without a display.
source "$(dirname "$0")/lib/common.bash"
unset SOLTAREK_NO_DIALOG
export DEMO SDL_AUDIODRIVER=dummy
run=$(make_run_dir dialog)
cd "$run"
rm -f data/music.mp3  # fails at start: "Error: File not found"

expect_line() {  # what: the run's output and exit code are the failure's, unchanged
    [ "$(cat code.txt)" = 1 ] || fail "$1: exit $(cat code.txt)"
    [ "$(tr -d '\r' < out.txt)" = "Error: File not found" ] || fail "$1: output '$(cat out.txt)'"
}

under_xvfb '
    timeout 120 "$DEMO" > out.txt 2> err.txt & pid=$!
    for _ in $(seq 600); do
        dialog=$(xwininfo -root -children | awk "/\"SOLTAREK ASKETRO\"/ { print \$1; exit }")
        [ -n "$dialog" ] && break
        kill -0 $pid 2>/dev/null || break
        sleep 0.05
    done
    echo "$dialog" > dialog.txt
    kill -0 $pid 2>/dev/null && echo waiting > waited.txt
    [ -n "$dialog" ] && xdotool windowfocus "$dialog" key Return
    wait $pid; echo $? > code.txt'
[ -n "$(cat dialog.txt)" ] || fail "no dialog appeared; output '$(cat out.txt)' $(cat err.txt)"
[ -f waited.txt ] || fail "the run did not wait for the dialog to be closed"
expect_line "closed dialog"

SOLTAREK_NO_DIALOG=1 under_xvfb 'timeout 60 "$DEMO" > out.txt; echo $? > code.txt'
expect_line "SOLTAREK_NO_DIALOG"
# A terminal shows the line itself.
under_xvfb 'script -qec "timeout 60 \"$DEMO\"" /dev/null > out.txt; echo $? > code.txt'
expect_line "terminal"
set +e
env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 "$DEMO" > out.txt
echo $? > code.txt
set -e
expect_line "no display"
echo "start-up dialog: ok"
