#!/usr/bin/env bash
# demo-capture end to end: a short video has both streams exactly as long as the recorded
# span, the default 60 fps video shows the 120 Hz show (the particle text completed), --at
# keeps the right frames, refusals exit 2 with one line and leave nothing, and a failure
# during the run exits 1 without a finished-looking file.
source "$(dirname "$0")/lib/common.bash"
CAPTURE="$BUILD_DIR/tools/capture/demo-capture"
run=$(make_run_dir capture)
cd "$run"
use_test_tone

# 85000 ms to the end at 60 fps: frames 85000 .. 90583, 336 of them, 5.6 s.
"$CAPTURE" --size 160x90 --start 85000 --video show.mp4 2> progress.txt \
    || fail "video run failed: $(cat progress.txt)"
[ -f show.mp4 ] && [ -z "$(find . -name '.*.part')" ] || fail "video not renamed into place: $(ls -a)"
probe() { ffprobe -v error -select_streams "$1" -show_entries "$2" -of default=nw=1:nk=1 show.mp4; }
[ "$(probe v stream=codec_name,pix_fmt,width,height,nb_frames | tr '\n' ' ')" = "h264 160 90 yuv420p 336 " ] \
    || fail "video stream: $(probe v stream=codec_name,pix_fmt,width,height,nb_frames | tr '\n' ' ')"
[ "$(probe v stream=duration)" = 5.600000 ] || fail "video lasts $(probe v stream=duration) s"
[ "$(probe a stream=codec_name)" = aac ] || fail "audio codec $(probe a stream=codec_name)"
[ "$(probe a stream=duration)" = 5.600000 ] || fail "audio lasts $(probe a stream=duration) s"
# Closed GOPs of half a second: a key frame every 30 frames, nowhere else.
keys=$(probe v frame=key_frame | grep -n '^1$' | cut -d: -f1 | tr '\n' ' ')
[ "$keys" = "1 31 61 91 121 151 181 211 241 271 301 331 " ] || fail "key frames at $keys"

# The whole show at the default 60 fps: video frame 2850 (47500 ms) is show frame 47500 of
# the 120 Hz show, particle text completed, not the 60 Hz run's frame, where it is not.
"$CAPTURE" --size 96x54 --video whole.mp4 2> /dev/null || fail "whole-show video failed"
"$CAPTURE" --size 96x54 --at 47500 --png shown 2> /dev/null || fail "--at 47500 failed"
"$CAPTURE" --size 96x54 --at 47500 --show-rate 0 --png at60 2> /dev/null || fail "--show-rate 0 failed"
raw() { ffmpeg -loglevel error -y "$@" -f rawvideo -pix_fmt rgb24 -; }
raw -i whole.mp4 -vf "select=eq(n\,2850)" -frames:v 1 > video.rgb
raw -i shown/frame-47500.png > shown.rgb
raw -i at60/frame-47500.png > at60.rgb
python3 - video.rgb shown.rgb at60.rgb <<'PY' || fail "the 60 fps video does not show the 120 Hz show"
import sys
video, shown, at60 = (open(p, "rb").read() for p in sys.argv[1:])
assert len(video) == len(shown) == len(at60) == 96 * 54 * 3
diff = lambda a, b: sum(abs(x - y) for x, y in zip(a, b)) / len(a)
print("video frame 2850 against show frame 47500: %.2f, against the 60 Hz run's: %.2f"
      % (diff(video, shown), diff(video, at60)))
assert diff(video, shown) < 6 and diff(video, at60) > 4 * diff(video, shown)
PY

# --at: the first show frame at or past each value (120 a second), named by its clock
# value; the run stops there.
"$CAPTURE" --size 64x36 --start 85000 --at 85010,85000,90580 --png frames 2> /dev/null \
    || fail "png run failed"
[ "$(ls -A frames | tr '\n' ' ')" = "frame-85000.png frame-85016.png frame-90583.png " ] \
    || fail "frames written: $(ls -A frames | tr '\n' ' ')"

# A FIFO as the font image and one as a picture: opening them must not wait for a writer;
# the frames (a caption frame and the start picture) are drawn without them.
mkdir -p fifo/data
for f in data/*; do ln -s "$PWD/$f" fifo/data/; done
rm fifo/data/font.tga fifo/data/start.tga
mkfifo fifo/data/font.tga fifo/data/start.tga
(cd fifo && timeout -k 5 60 "$CAPTURE" --size 64x36 --at 3500,20000 --png frames 2> /dev/null) \
    || fail "FIFO font image or picture: the run failed or did not end within 60 s"
[ "$(ls -A fifo/frames | wc -l)" = 2 ] || fail "FIFO data: frames written: $(ls -A fifo/frames)"

# Refusals: exit 2, one line on stderr, no output file, before any drawing.
refused() {
    expect_refusal "$*" "$@"
    [ ! -e out.mp4 ] && [ -z "$(find . -name '.*.part')" ] || fail "output left behind by: $*"
}
refused "$CAPTURE" --size 161x90 --video out.mp4
refused "$CAPTURE" --fps 0 --video out.mp4
refused "$CAPTURE" --video out.mp4 --bogus
refused env PATH=/nonexistent "$CAPTURE" --video out.mp4
refused "$CAPTURE" --video missing-dir/out.mp4
refused "$CAPTURE" --png show.mp4/frames
mv data/music.mp3 data/music.keep
refused "$CAPTURE" --video out.mp4
mv data/music.keep data/music.mp3
(mkdir -p ../empty && cd ../empty && refused "$CAPTURE" --png frames && [ ! -e frames ]) \
    || fail "run without data/ not refused"

# An installed copy finds the data beside it; outputs still land in the working directory.
mkdir -p ../inst/bin ../inst/share/soltarek/data ../elsewhere
cp "$CAPTURE" ../inst/bin/
(cd ../elsewhere && ../inst/bin/demo-capture --size 32x18 --at 0 --png frames 2> /dev/null) \
    || fail "installed copy did not run"
[ -f ../elsewhere/frames/frame-00000.png ] || fail "installed copy wrote elsewhere"

# An encoder that dies during the run: exit 1, the partial file removed, nothing final.
mkdir -p fakebin
printf '#!/bin/sh\nexit 3\n' > fakebin/ffmpeg
chmod +x fakebin/ffmpeg
set +e
PATH="$run/fakebin:$PATH" "$CAPTURE" --size 64x36 --start 89000 --video out.mp4 2> err.txt
code=$?
set -e
[ "$code" = 1 ] || fail "dying encoder: exit $code ($(cat err.txt))"
grep -q '^demo-capture: ffmpeg' err.txt || fail "dying encoder not reported: $(cat err.txt)"
[ ! -e out.mp4 ] && [ -z "$(find . -name '.*.part')" ] || fail "dying encoder left a file: $(ls -a)"
# An encoder that stops taking frames (a stopped process) blocks the frame writes; an
# interrupt still ends the run: exit 1, nothing left behind, the encoder gone too.
printf '#!/bin/sh\necho $$ > ffmpeg.pid\nkill -STOP $$\n' > fakebin/ffmpeg
rm -f ffmpeg.pid
PATH="$run/fakebin:$PATH" "$CAPTURE" --size 64x36 --start 80000 --video out.mp4 2> err.txt &
capture=$!
for _ in $(seq 600); do
    grep -q pipe_write "/proc/$capture/wchan" 2>/dev/null && break
    sleep 0.05
done
grep -q pipe_write "/proc/$capture/wchan" || fail "the run never blocked on the stopped encoder"
kill -INT "$capture"
for _ in $(seq 200); do kill -0 "$capture" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$capture" 2>/dev/null; then
    kill -KILL "$capture" "$(cat ffmpeg.pid)"
    fail "SIGINT did not end a run blocked on the encoder"
fi
set +e
wait "$capture"
code=$?
set -e
[ "$code" = 1 ] || fail "interrupted run: exit $code ($(cat err.txt))"
! kill -0 "$(cat ffmpeg.pid)" 2>/dev/null || fail "the stopped encoder was left running"
[ ! -e out.mp4 ] && [ -z "$(find . -name '.*.part')" ] || fail "interrupted run left a file: $(ls -a)"
echo "capture: ok"
