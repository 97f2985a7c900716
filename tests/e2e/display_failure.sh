#!/usr/bin/env bash
# Without a display the demo says why in one "Error: " line and exits 1 instead of running
# blind: when no X server answers, and when SDL would fall back (or is told to go) to a video
# driver that only draws into memory.
source "$(dirname "$0")/lib/common.bash"
run=$(make_run_dir nodisplay)
cd "$run"
for driver in x11 default offscreen dummy evdev; do
    settings=(SDL_AUDIODRIVER=dummy)
    [ "$driver" = default ] || settings+=(SDL_VIDEODRIVER=$driver)
    set +e
    # Starting late keeps a run that wrongly plays short.
    env -u DISPLAY -u WAYLAND_DISPLAY "${settings[@]}" timeout 30 "$DEMO" --mute --start=90000 \
        > out.txt 2>/dev/null
    code=$?
    set -e
    [ "$code" = 1 ] || fail "$driver: exit code $code, output: $(cat out.txt)"
    grep -q '^Error: ' out.txt || fail "$driver: no error line: $(cat out.txt)"
    [ "$(wc -l < out.txt)" = 1 ] || fail "$driver: more than one line: $(cat out.txt)"
    echo "display failure, $driver: ok ($(cat out.txt))"
done
