#!/usr/bin/env bash
# ctest: run serial
# Through a private PulseAudio server (a null sink), as on a desktop, with SDL_AUDIODRIVER
# unset: demo plays the soundtrack in its own stream to the server from --start on; when the
# server is restarted mid-show the show goes on and the music comes back on the new one;
# when the server stops answering the show still ends on time; with no server (and no sound
# card) it stops at start with the sound error. Skipped where pulseaudio is not installed
# (scripts/sync-check.sh installs it).
source "$(dirname "$0")/lib/common.bash"
if ! command -v pulseaudio >/dev/null || ! command -v parec >/dev/null; then
    echo "pulseaudio or parec not installed: skipped"
    exit 77
fi
[ -f "$BUILD_DIR/data/music.mp3" ] || fail "no generated soundtrack in $BUILD_DIR/data"
source "$SOURCE_DIR/tests/e2e/lib/pulse-server.bash"
run=$(make_run_dir pulse)
cd "$run"
server=$WORK_DIR/server
trap 'pulse_stop "$server"; stop_xvfb; rm -rf "$WORK_DIR"' EXIT
pulse_start "$server"
unset SDL_AUDIODRIVER
export DEMO server SOURCE_DIR
record='parec --raw --rate=44100 --channels=2 --format=s16le -d show.monitor'
fixture=$BUILD_DIR/tests/sound_fixture

# The soundtrack from --start on, played through the server.
under_xvfb "
    source \"\$SOURCE_DIR/tests/e2e/lib/pulse-server.bash\"
    $record > start.raw & recorder=\$!
    pulse_wait_awake \"\$server\" || exit 1
    timeout 60 \"\$DEMO\" --window=320x180 --start=86000 > start.out 2>&1 & show=\$!
    sleep 2
    pactl list sink-inputs > start.inputs
    wait \$show; echo \$? > start.code
    kill \$recorder; wait \$recorder"
[ "$(cat start.code)" = 0 ] || fail "through the server: exit $(cat start.code): $(cat start.out)"
grep -q 'media.name = "music"' start.inputs || fail "the show's own stream was not on the server: $(cat start.inputs)"
"$fixture" heard start.raw data/music.mp3 86000 2 || fail "the server did not play the soundtrack from 86000 ms"

# The server stopped 3 s into the show and a fresh one started 1.5 s later: the show ends
# by itself (10.6 s of show) and the new server hears the music.
under_xvfb "
    source \"\$SOURCE_DIR/tests/e2e/lib/pulse-server.bash\"
    timeout 60 \"\$DEMO\" --window=320x180 --start=80000 > restart.out 2>&1 & show=\$!
    sleep 3
    pulse_stop \"\$server\"
    sleep 1.5
    pulse_start \"\$server\" || exit 1
    $record > restart.raw & recorder=\$!
    SECONDS=0
    wait \$show; echo \$? \$SECONDS > restart.code
    kill \$recorder; wait \$recorder"
read -r code seconds < restart.code
[ "$code" = 0 ] || fail "server restarted: exit $code: $(cat restart.out)"
[ "$seconds" -le 20 ] || fail "server restarted: the show ended $seconds s after the restart"
"$fixture" heard restart.raw data/music.mp3 -1 2 || fail "no music on the restarted server"

# A server that stops answering (SIGSTOP) 2 s into the show: the show still ends on time.
# (The restarted server ended with the snippet that started it: start one here.)
pulse_stop "$server"
pulse_start "$server"
under_xvfb "
    timeout 60 \"\$DEMO\" --window=320x180 --start=84000 > stopped.out 2>&1 & show=\$!
    sleep 2
    kill -STOP \$(cat \"\$server/server.pid\")
    SECONDS=0
    wait \$show; echo \$? \$SECONDS > stopped.code
    kill -CONT \$(cat \"\$server/server.pid\")"
read -r code seconds < stopped.code
[ "$code" = 0 ] || fail "server stopped: exit $code: $(cat stopped.out)"
[ "$seconds" -le 15 ] || fail "server stopped: the show ended $seconds s later (6.6 s of show left)"

# No server: the sound start-up error, at once (a machine with a sound card plays on it).
pulse_stop "$server"
under_xvfb 'timeout 30 "$DEMO" --window=320x180 --start=90000 > absent.out 2>&1; echo $? > absent.code'
if [ -e /dev/snd ] && [ "$(cat absent.code)" = 0 ]; then
    echo "no server: played on the sound card"
else
    [ "$(cat absent.code)" = 1 ] || fail "no server: exit $(cat absent.code)"
    grep -qx "Error: Error initializing output device." absent.out || fail "no server: $(cat absent.out)"
fi
echo "pulse output: ok"
