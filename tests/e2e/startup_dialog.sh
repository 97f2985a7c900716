#!/usr/bin/env bash
# A start-up failure prints its one line and exits 1 at once, wherever the output goes: a
# dialog appears only when the caller asks for it with --error-dialog (the desktop entry).
# Then the run waits until the dialog is closed, and killing the player ends the dialog
# with it (nothing is left holding the player's output). SOLTAREK_NO_DIALOG leaves the
# asked-for dialog out; without a display it costs nothing.
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
# Inside under_xvfb: prints the dialog's window id once it is there (within 30 s), or
# nothing when PID ended first.
export FIND_DIALOG='
    find_dialog() {
        local dialog
        for _ in $(seq 600); do
            dialog=$(xwininfo -root -children | awk "/\"SOLTAREK ASKETRO\"/ { print \$1; exit }")
            [ -n "$dialog" ] && { echo "$dialog"; return; }
            kill -0 $1 2>/dev/null || return 0
            sleep 0.05
        done
    }'

# Not asked: output into a pipe or a file, as from a script, a service or a test.
under_xvfb 'timeout 30 "$DEMO" | cat > out.txt; echo ${PIPESTATUS[0]} > code.txt'
expect_line "output to a pipe"
under_xvfb 'timeout 30 "$DEMO" --mute --window=64x64 --start=90000 > /dev/null; echo $? > ok.txt
    timeout 30 "$DEMO" > out.txt; echo $? > code.txt'
[ "$(cat ok.txt)" = 0 ] || fail "the display does not work here: exit $(cat ok.txt)"
expect_line "output to a file"

# Asked: the dialog appears, the run waits, closing it ends the run.
under_xvfb "$FIND_DIALOG"'
    timeout 120 "$DEMO" --error-dialog > out.txt 2> err.txt & pid=$!
    dialog=$(find_dialog $pid)
    echo "$dialog" > dialog.txt
    kill -0 $pid 2>/dev/null && echo waiting > waited.txt
    [ -n "$dialog" ] && xdotool windowfocus "$dialog" key Return
    wait $pid; echo $? > code.txt'
[ -n "$(cat dialog.txt)" ] || fail "no dialog appeared; output '$(cat out.txt)' $(cat err.txt)"
[ -f waited.txt ] || fail "the run did not wait for the dialog to be closed"
expect_line "closed dialog"

# Asked, then the player is killed while the dialog waits: the dialog goes with it, and the
# reader of the player's output sees its end at once.
under_xvfb "$FIND_DIALOG"'
    { "$DEMO" --error-dialog 2>&1 & echo $! > pid.txt; } | { cat > out.txt; date +%s%N > eof.txt; } &
    reader=$!
    for _ in $(seq 100); do [ -s pid.txt ] && break; sleep 0.05; done
    pid=$(cat pid.txt)
    [ -n "$(find_dialog $pid)" ] || { echo "no dialog appeared" > problem.txt; exit; }
    kill -KILL $pid; killed=$(date +%s%N)
    for _ in $(seq 100); do kill -0 $reader 2>/dev/null || break; sleep 0.05; done
    kill -0 $reader 2>/dev/null && echo "the output stayed open 5 s after the kill" > problem.txt
    kill $reader 2>/dev/null
    for _ in $(seq 100); do xwininfo -root -children | grep -q "\"SOLTAREK ASKETRO\"" || break; sleep 0.05; done
    xwininfo -root -children | grep -q "\"SOLTAREK ASKETRO\"" && echo "the dialog outlived the player" >> problem.txt
    true'
[ ! -s problem.txt ] || fail "killed player: $(cat problem.txt)"
grep -q "^Error: File not found" out.txt || fail "killed player: output '$(cat out.txt)'"

SOLTAREK_NO_DIALOG=1 under_xvfb 'timeout 60 "$DEMO" --error-dialog > out.txt; echo $? > code.txt'
expect_line "SOLTAREK_NO_DIALOG"
set +e
env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 "$DEMO" --error-dialog > out.txt 2> /dev/null
echo $? > code.txt
set -e
expect_line "no display"
echo "start-up dialog: ok"
