#!/usr/bin/env bash
# Sound start-up failures through the real demo binary: one "Error: ..." line on standard
# output, exit code 1, and no window (DISPLAY is unset, so reaching the display would print
# a different error).
source "$(dirname "$0")/lib/common.bash"
fixture=$BUILD_DIR/tests/sound_fixture
work=$(make_run_dir music)
cd "$work"
rm -f data/music.mp3

expect_failure() {  # expected-line, then NAME=VALUE settings and --options to run demo with
    local expected=$1 out rc
    shift
    set +e
    local settings=() arguments=()
    for word in "$@"; do
        if [[ $word == --* ]]; then arguments+=("$word"); else settings+=("$word"); fi
    done
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "${settings[@]}" timeout -k 5 30 "$DEMO" "${arguments[@]}" 2>/dev/null)
    rc=$?
    set -e
    [ "$rc" -lt 124 ] || fail "($*): the demo did not end within 30 s"
    if [ "$rc" -ne 1 ] || [ "$out" != "$expected" ]; then
        fail "($*): exit $rc, output '$out', expected '$expected'"
    fi
    echo "ok: $expected ($*)"
}

expect_failure "Error: File not found" SDL_AUDIODRIVER=dummy
# Not a regular file: opening it must not wait (a FIFO would wait for a writer for ever).
mkfifo data/music.mp3
expect_failure "Error: File not found" SDL_AUDIODRIVER=dummy
rm data/music.mp3
mkdir data/music.mp3
expect_failure "Error: File not found" SDL_AUDIODRIVER=dummy
rmdir data/music.mp3
echo "This is a text file, not music." > data/music.mp3
expect_failure "Error: Unknown file format" SDL_AUDIODRIVER=dummy
: > data/music.mp3
expect_failure "Error: Unknown file format" SDL_AUDIODRIVER=dummy
# 64 KiB of random bytes (a fixed seed): no run of them passes for MPEG audio frames.
python3 -c "import random; r = random.Random(7)
open('data/music.mp3', 'wb').write(bytes(r.getrandbits(8) for _ in range(65536)))"
expect_failure "Error: Unknown file format" SDL_AUDIODRIVER=dummy
# A WAV file under the MP3 name, fading in as music does: its quiet samples read as MPEG
# headers of an unknown frame size, which a decoder would play as silence.
python3 -c "import math, struct, wave
w = wave.open('data/music.mp3', 'wb'); w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
w.writeframes(b''.join(struct.pack('<hh', *(round(4000 * i / 88200 * math.sin(f * i / 44100))
                                             for f in (2765, 4147))) for i in range(88200)))"
expect_failure "Error: Unknown file format" SDL_AUDIODRIVER=dummy

"$fixture" write data/music.mp3 1
# No audio system at all, and one whose device cannot be opened.
expect_failure "Error: Error initializing output device." SDL_AUDIODRIVER=no-such-driver
expect_failure "Error: Error initializing output device." SDL_AUDIODRIVER=disk \
    SDL_DISKAUDIOFILE="$work/no-such-dir/out.raw"
expect_failure "Error: Error initializing output device." SDL_AUDIODRIVER=dummy \
    --audio-device=no-such-device

# The version gate: a decoder library that reports an older API version is refused.
cat > old.c <<'C'
unsigned mpg123_libversion(unsigned* patch) { if (patch) *patch = 0; return 1; }
C
cc -shared -fPIC -o libold.so old.c
expect_failure "Error: You have the wrong libmpg123 version - you should be using libmpg123 $(
    "$fixture" required-version)" SDL_AUDIODRIVER=dummy LD_PRELOAD="$work/libold.so" \
    ASAN_OPTIONS=verify_asan_link_order=0
