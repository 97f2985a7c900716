#!/usr/bin/env bash
# 200 random input events (keys other than Enter, Space, Escape and the transport's keys;
# mouse moves, clicks and wheel turns) do not disturb the show: it keeps running, answers Space and prints nothing
# else. Then a close request, as a window manager sends it for the close button, ends the
# run with exit code 0.
source "$(dirname "$0")/lib/common.bash"
export SDL_AUDIODRIVER=dummy DEMO="$DEMO"
run=$(make_run_dir input)
cd "$run"
cc -O -o close-window "$SOURCE_DIR/tests/e2e/lib/close-window.c" -lX11 || fail "cannot build close-window"
# The events, reproducible: xdotool arguments, one event per line.
keys=(a b c q x z j k semicolon slash F1 F4 F11 F12 Tab BackSpace Delete Insert End Prior Next
      Up Down shift ctrl alt super ctrl+c ctrl+q alt+F4 shift+Tab Menu minus plus KP_5
      KP_Add Pause Print Caps_Lock)
RANDOM=9
for _ in $(seq 200); do
    case $((RANDOM % 4)) in
        0|1) echo "key ${keys[RANDOM % ${#keys[@]}]}" ;;
        2) echo "mousemove $((RANDOM % 1920)) $((RANDOM % 1080))" ;;
        3) echo "click $((RANDOM % 5 + 1))" ;;
    esac
done > events.txt
under_xvfb '
    "$DEMO" --start=24500 > out.txt 2> err.txt & pid=$!
    id=$(bash "$WAIT_WINDOW") || exit 1
    bash "$PRINT_CLOCK" $pid out.txt || exit 1
    while read -r event; do xdotool $event; done < events.txt
    # One message is taken per frame: the print shows that all of them were worked through.
    xdotool key space
    for _ in $(seq 1200); do [ "$(wc -l < out.txt)" -ge 2 ] && break; sleep 0.05; done
    [ "$(wc -l < out.txt)" -ge 2 ] || { echo "no clock print within 60 s of the events" >&2; exit 1; }
    ./close-window "$id"
    wait_exit $pid 30 > code.txt' 240 || true
[ -f code.txt ] || fail "the run did not finish; $(tail -5 err.txt)"
[ "$(cat code.txt)" = 0 ] || fail "exit $(cat code.txt) after the close; $(tail -5 err.txt)"
mapfile -t prints < out.txt
[ "${#prints[@]}" = 2 ] || fail "expected two clock prints, got: ${prints[*]}"
[ "${prints[1]}" -ge "${prints[0]}" ] || fail "the clock went back: ${prints[*]}"
echo "ok: 200 random events, clock ${prints[0]} then ${prints[1]}; closed with 0"
