#!/usr/bin/env bash
# ctest: run serial
# Under Xvfb with SDL's disk audio output: what a run ended with Escape after a few seconds
# wrote is the decoded soundtrack from its first sample on, then silence once the 2 s
# soundtrack is over (the show goes on without it). With --start=MS the written audio begins
# MS into the soundtrack.
source "$(dirname "$0")/lib/common.bash"
fixture=$BUILD_DIR/tests/sound_fixture
work=$(make_run_dir music)
cd "$work"
rm -f data/music.mp3
"$fixture" write data/music.mp3 2

capture() {  # output file, then demo's arguments
    local out=$1
    shift
    rm -f code.txt
    under_xvfb "
        SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='$work/$out' '$DEMO' $* > demo.out 2> demo.err &
        pid=\$!
        bash \"\$WAIT_WINDOW\" > /dev/null || exit 1
        bash \"\$PRINT_CLOCK\" \$pid demo.out || exit 1
        sleep 3
        xdotool key Escape
        wait_exit \$pid 30 > code.txt" 100 || true
    if [ "$(cat code.txt 2>/dev/null)" != 0 ]; then
        cat demo.out demo.err
        fail "the run ($*) did not end cleanly (exit code: $(cat code.txt 2>/dev/null || echo none))"
    fi
}

capture out.raw
"$fixture" match out.raw data/music.mp3 2.5
capture later.raw --start=1250
"$fixture" match later.raw data/music.mp3 2.5 1250

# The real soundtrack from --start=42000: the first frame is already in scene 3 (the
# particle scene, 32096..48096), and the audio begins 42 s into the soundtrack.
if [ -f "$BUILD_DIR/data/music.mp3" ]; then
    cp "$BUILD_DIR/data/music.mp3" data/music.mp3
    capture at42.raw --start=42000
    clock=$(head -n 1 demo.out)
    [ "$clock" -ge 42000 ] && [ "$clock" -lt 48096 ] || fail "--start=42000: clock $clock"
    "$fixture" match at42.raw data/music.mp3 2.5 42000
fi
