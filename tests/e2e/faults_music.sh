#!/usr/bin/env bash
# Damaged soundtracks that still hold MPEG audio: the show starts and goes on.
# - A file whose Info frame claims 4 billion frames opens at once (it used to keep the
#   open busy for minutes, with no window): Escape ends the run with 0.
# - A soundtrack cut off in the middle of a frame after 2 s: with SDL's disk output, what
#   was played is the music up to the cut, then silence, while the clock goes on.
source "$(dirname "$0")/lib/common.bash"
fixture=$BUILD_DIR/tests/sound_fixture
export DEMO="$DEMO"

run=$(make_run_dir claim)
cd "$run"
rm -f data/music.mp3
cp "$SOURCE_DIR/tests/fuzz/corpus/fuzz_music/huge-info-frame-count.mp3" data/music.mp3
under_xvfb '
    SDL_AUDIODRIVER=dummy "$DEMO" > out.txt 2> err.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    bash "$PRINT_CLOCK" $pid out.txt || exit 1
    xdotool key Escape
    wait_exit $pid 30 > code.txt' || true
[ -f code.txt ] || fail "claimed length: the run did not finish; $(cat out.txt err.txt)"
[ "$(cat code.txt)" = 0 ] || fail "claimed length: exit $(cat code.txt); $(cat out.txt err.txt)"
echo "ok: a claim of 4 billion frames does not hold up the start"

run=$(make_run_dir cut)
cd "$run"
rm -f data/music.mp3
"$fixture" write song.mp3 6
size=$(stat -c %s song.mp3)
head -c $((size / 3 + 7)) song.mp3 > data/music.mp3  # 2 s and a piece of the next frame
under_xvfb '
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=out.raw "$DEMO" > out.txt 2> err.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    sleep 3  # the music is over: print the clock now and 2 s later
    bash "$PRINT_CLOCK" $pid out.txt || exit 1
    sleep 2
    bash "$PRINT_CLOCK" $pid out.txt || exit 1
    xdotool key Escape
    wait_exit $pid 30 > code.txt' || true
[ -f code.txt ] || fail "cut soundtrack: the run did not finish; $(cat err.txt)"
[ "$(cat code.txt)" = 0 ] || fail "cut soundtrack: exit $(cat code.txt); $(cat err.txt)"
# The capture is the decoded cut file (music to the cut), then nothing but silence.
"$fixture" match out.raw data/music.mp3 3 || fail "the capture is not the music up to the cut, then silence"
mapfile -t prints < out.txt
[ "${#prints[@]}" = 2 ] && [ "${prints[1]}" -ge $((prints[0] + 1500)) ] ||
    fail "the clock did not go on after the music stopped: ${prints[*]}"
echo "ok: a soundtrack cut after 2 s plays to the cut, then silence; clock ${prints[*]}"
