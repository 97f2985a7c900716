#!/usr/bin/env bash
# demo-capture under faults: every output is whole or absent, and a run always ends.
# - Two runs on one path each write a temporary of their own: the file published is whole.
# - Outputs that would overwrite each other or what the run reads are refused (exit 2, one
#   line), and a refused run creates nothing, not even the frame directory.
# - An option name is never taken as a value; an output name of 255 bytes works.
# - SIGHUP (a closed terminal) stops a run like SIGTERM: exit 1, nothing left behind.
# - A run stuck in the GL driver ends after a stop request: at once on a second one, else
#   after the grace of 5 s, with one line, exit 1 and nothing left behind.
source "$(dirname "$0")/lib/common.bash"
CAPTURE="$BUILD_DIR/tools/capture/demo-capture"
run=$(make_run_dir capture-faults)
cd "$run"
# Local files for everything an output is aimed at: a broken build may only damage these.
rm -f data/music.mp3 data/start.tga
ffmpeg -hide_banner -loglevel error -f lavfi -i "sine=duration=91" data/music.mp3
mkdir pictures
cp "$BUILD_DIR/data/start.tga" pictures/start.tga
ln -s "$PWD/pictures/start.tga" data/start.tga
cp data/music.mp3 music.keep
cp pictures/start.tga start.keep

record() { "$CAPTURE" --size 64x36 --start 90000 "$@"; }
whole() { "$CAPTURE" --size 64x36 "$@"; }  # for the contact sheet
frames() {  # video frames decoded from a file: 36 for 90000..90583 ms at 60 fps
    ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames \
        -of csv=p=0 "$1" 2>/dev/null || true
}
audio() { ffprobe -v error -select_streams a -show_entries stream=codec_name -of csv=p=0 "$1" 2>/dev/null || true; }
leftovers() { find . -name '.*.part' -newer music.keep; }

# Two runs at once on one path that holds a good file.
record --video out.mp4 2> /dev/null || fail "first recording failed"
record --video out.mp4 2> a.txt & first=$!
record --video out.mp4 2> b.txt & second=$!
codes=""
wait $first || codes="$codes first:$?"
wait $second || codes="$codes second:$?"
[ -z "$codes" ] || fail "two runs on one path:$codes ($(tail -c 200 a.txt) $(tail -c 200 b.txt))"
[ "$(frames out.mp4)" = 36 ] && [ "$(audio out.mp4)" = aac ] ||
    fail "two runs on one path published a damaged file: $(frames out.mp4) frames, audio '$(audio out.mp4)'"
[ -z "$(leftovers)" ] || fail "two runs left temporaries: $(leftovers)"

# refused WHAT COMMAND...: refused, and nothing was created or changed.
refused() {
    local what=$1
    find . | sort > "$WORK_DIR/before.txt"
    expect_refusal "$@"
    [ "$(find . | sort)" = "$(cat "$WORK_DIR/before.txt")" ] ||
        fail "$what: created $(find . | sort | comm -13 "$WORK_DIR/before.txt" - | tr '\n' ' ')"
    cmp -s data/music.mp3 music.keep && cmp -s pictures/start.tga start.keep || fail "$what: an input was changed"
    echo "ok: $what refused: $(cat "$WORK_DIR/refusal.txt")"
}
echo old > same.png
refused "--video and --sheet on one file" whole --video same.png --sheet same.png
[ "$(cat same.png)" = old ] || fail "the file named twice was changed"
refused "--video onto the soundtrack" record --video data/music.mp3
refused "--sheet onto a picture behind a link" whole --sheet pictures/start.tga
refused "--png into the data" record --png data
mkdir -p frames
refused "--video onto a frame" record --png frames --video frames/frame-90000.png
refused "a missing directory after --png" record --png newdir --video missing-dir/out.mp4
[ ! -e newdir ] || fail "the refused run created newdir"
refused "an option as the value of --png" record --png --video
[ ! -e ./--video ] || fail "a directory named --video was made"

# The longest legal name.
long=$(printf 'v%.0s' $(seq 251)).mp4
record --video "$long" 2> err.txt || fail "a 255-byte name: $(tail -c 300 err.txt)"
[ "$(frames "$long")" = 36 ] || fail "a 255-byte name: $(frames "$long") frames"
rm -f "$long"

# stopped SIGNAL WHAT COMMAND...: the run is sent SIGNAL once it draws; it must end with
# exit 1 within 10 s, one line that says so, and no output or temporary left.
stopped() {
    local signal=$1 what=$2 pid code
    shift 2
    rm -f stopped.mp4 mark
    "$@" --video stopped.mp4 2> err.txt & pid=$!
    for _ in $(seq 300); do
        { [ -e mark ] || grep -q frames err.txt; } && break
        sleep 0.05
    done
    kill -$signal $pid
    [ "${DOUBLE:-}" = 1 ] && { sleep 0.3; kill -$signal $pid 2>/dev/null || true; }
    wait_exit $pid 10 > code.txt || fail "$what: the run did not end within 10 s"
    code=$(cat code.txt)
    [ "$code" = 1 ] || fail "$what: exit $code ($(tail -c 300 err.txt))"
    tail -n 1 err.txt | tr '\r' '\n' | tail -n 1 | grep -q '^demo-capture: interrupted' ||
        fail "$what: no line says so: $(tail -c 300 err.txt)"
    [ ! -e stopped.mp4 ] && [ -z "$(leftovers)" ] || fail "$what: left $(ls -a)"
    echo "ok: $what: $(tail -n 1 err.txt | tr '\r' '\n' | tail -n 1)"
}
stopped HUP "SIGHUP" "$CAPTURE" --size 64x36 --start 60000

cc -shared -fPIC -o "$WORK_DIR/stuck-gl.so" "$SOURCE_DIR/tests/e2e/lib/stuck-gl.c"
export STUCK_MARK=$run/mark
# A sanitizer build wants its runtime first; the preloaded stand-in does not disturb it.
export ASAN_OPTIONS=${ASAN_OPTIONS:-}:verify_asan_link_order=0
start=$(date +%s%N)
DOUBLE=1 stopped INT "two interrupts, stuck in the driver" \
    env LD_PRELOAD="$WORK_DIR/stuck-gl.so" "$CAPTURE" --size 64x36 --start 90000
[ $(( ($(date +%s%N) - start) / 1000000000 )) -lt 4 ] || fail "the second interrupt did not end the run at once"
stopped TERM "one termination request, stuck in the driver" \
    env LD_PRELOAD="$WORK_DIR/stuck-gl.so" "$CAPTURE" --size 64x36 --start 90000
echo "capture faults: ok"
