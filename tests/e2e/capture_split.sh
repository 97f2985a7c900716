#!/usr/bin/env bash
# Ranges and split recordings: a --start/--end range holds the single run's frames; a
# --jobs 2 video has the single run's frame timing, key frames and sound, its video being
# the parts' streams copied; a --jobs 2 master equals a --jobs 1 master frame for frame;
# --join of the same parts recorded by hand gives the same file;
# a failed or interrupted part fails the whole run and leaves nothing; bad joins and sizes
# past the GL driver are refused.
source "$(dirname "$0")/lib/common.bash"
CAPTURE="$BUILD_DIR/tools/capture/demo-capture"
run=$(make_run_dir capture-split)
cd "$run"
rm -f data/music.mp3
ffmpeg -hide_banner -loglevel error -f lavfi -i "sine=frequency=440:duration=91" \
    -c:a libmp3lame -b:a 96k data/music.mp3
left_behind() { [ -n "$(find . -name '.demo-capture-*')" ]; }

# A range from off the frame grid of a run from 88000: the frames that share a clock value
# are the same pictures, and none lies at or past --end.
"$CAPTURE" --size 64x36 --start 88000 --end 89000 --png whole 2> /dev/null || fail "whole run failed"
"$CAPTURE" --size 64x36 --start 88500 --end 88750 --png range 2> /dev/null || fail "range run failed"
[ "$(ls range | head -1)" = frame-88500.png ] && [ "$(ls range | tail -1)" = frame-88733.png ] \
    && [ "$(ls range | wc -l)" = 15 ] || fail "range frames: $(ls range | tr '\n' ' ')"
for f in range/*; do cmp -s "$f" "whole/${f#range/}" || fail "$f differs from the whole run's"; done
[ "$(ls whole | tail -1)" = frame-88983.png ] || fail "--end 89000 kept $(ls whole | tail -1)"

# --jobs 2 against one process, from 80000 at 60 fps: 636 frames cut after 330 (85500 ms).
"$CAPTURE" --size 96x54 --start 80000 --video one.mp4 2> /dev/null || fail "single run failed"
"$CAPTURE" --size 96x54 --start 80000 --jobs 2 --video two.mp4 2> err.txt || fail "--jobs 2: $(cat err.txt)"
! left_behind || fail "--jobs 2 left files: $(ls -A)"
packets() { ffprobe -v error -select_streams v -show_entries packet=pts,dts,duration,flags -of csv "$1"; }
[ "$(packets one.mp4 | md5sum)" = "$(packets two.mp4 | md5sum)" ] || fail "video timing or key frames differ"
streams() { ffprobe -v error -show_entries stream=codec_name,start_time,duration,nb_frames -of csv "$1"; }
[ "$(streams one.mp4)" = "$(streams two.mp4)" ] || fail "streams: $(streams one.mp4) against $(streams two.mp4)"
sound() { ffmpeg -v error -i "$1" -map 0:a -f framemd5 - | grep -v '^#'; }
[ "$(sound one.mp4 | md5sum)" = "$(sound two.mp4 | md5sum)" ] || fail "the sound is not the single run's"
# The same in Matroska, whose parts start their video after the sound's priming.
"$CAPTURE" --size 96x54 --start 80000 --video one-h264.mkv 2> /dev/null || fail "single Matroska run failed"
"$CAPTURE" --size 96x54 --start 80000 --jobs 2 --video two-h264.mkv 2> err.txt || fail "--jobs 2 .mkv: $(cat err.txt)"
[ "$(packets one-h264.mkv)" = "$(packets two-h264.mkv)" ] && [ "$(streams one-h264.mkv)" = "$(streams two-h264.mkv)" ] \
    && [ "$(sound one-h264.mkv | md5sum)" = "$(sound two-h264.mkv | md5sum)" ] || fail "Matroska: timing or sound differ"
# The same parts by hand: their pictures are the joined video's (x264 encodes the same
# frames the same way, and the join copies them), and --join gives the same file as --jobs.
"$CAPTURE" --size 96x54 --start 80000 --end 85500 --video a.mp4 2> /dev/null || fail "part a failed"
"$CAPTURE" --size 96x54 --start 85500 --video b.mp4 2> /dev/null || fail "part b failed"
pictures() { for f in "$@"; do ffmpeg -v error -i "$f" -map 0:v -f framemd5 - | grep -v '^#' | cut -d, -f6; done; }
[ "$(pictures a.mp4 b.mp4 | md5sum)" = "$(pictures two.mp4 | md5sum)" ] || fail "the joined video is not the parts' streams"
"$CAPTURE" --join a.mp4 b.mp4 --video joined.mp4 2> err.txt || fail "--join: $(cat err.txt)"
[ "$(pictures joined.mp4 | md5sum)" = "$(pictures two.mp4 | md5sum)" ] && [ "$(packets joined.mp4)" = "$(packets two.mp4)" ] \
    && [ "$(sound joined.mp4 | md5sum)" = "$(sound two.mp4 | md5sum)" ] || fail "--join differs from --jobs 2"

# Lossless: a --jobs 2 master decodes to the frames of a --jobs 1 master, bit for bit, with
# the same whole sound, chapters and range.
"$CAPTURE" --size 96x54 --start 80000 --preset master --video one.mkv 2> /dev/null || fail "master failed"
"$CAPTURE" --size 96x54 --start 80000 --preset master --jobs 2 --video two.mkv --chapters two.txt 2> err.txt \
    || fail "--jobs 2 master: $(cat err.txt)"
[ "$(pictures one.mkv | md5sum)" = "$(pictures two.mkv | md5sum)" ] || fail "the --jobs 2 master's frames differ"
[ "$(packets one.mkv)" = "$(packets two.mkv)" ] || fail "the --jobs 2 master's frame timing differs"
[ "$(sound one.mkv | md5sum)" = "$(sound two.mkv | md5sum)" ] || fail "the --jobs 2 master's sound differs"
[ "$(streams one.mkv)" = "$(streams two.mkv)" ] || fail "master streams: $(streams two.mkv)"
about() { ffprobe -v error -show_entries chapter=start_time,end_time:format_tags=comment -of csv "$1"; }
[ "$(about one.mkv)" = "$(about two.mkv)" ] || fail "chapters or range: $(about two.mkv)"
[ "$(head -1 two.txt)" = "0:00 Lumenkarp" ] && [ "$(wc -l < two.txt)" = 2 ] || fail "chapter list: $(cat two.txt)"
! left_behind || fail "the --jobs 2 master left files: $(ls -A)"

# Refused joins: exit 2, one line, nothing created.
refused() {
    expect_refusal "$*" "$@"
    [ ! -e out.mp4 ] && ! left_behind || fail "output left behind by: $*"
}
refused "$CAPTURE" --join b.mp4 a.mp4 --video out.mp4
refused "$CAPTURE" --join a.mp4 --video out.mp4 --fps 30
refused "$CAPTURE" --join a.mp4 data/music.mp3 --video out.mp4
refused "$CAPTURE" --join a.mp4 missing.mp4 --video out.mp4
refused "$CAPTURE" --join a.mp4 one.mkv --video out.mp4
refused "$CAPTURE" --jobs 2 --manifest out.json --video out.mp4
refused "$CAPTURE" --size 8192x8192 --supersample 4 --at 0 --png big
[ ! -e big ] || fail "the refused supersampled run left its frame directory"

# A part that fails: the run fails with its reason; no part, no output is left.
mkdir -p fakebin
printf '#!/bin/sh\ncase "$*" in *start=85.5*) exit 3;; esac\nexec %s "$@"\n' "$(command -v ffmpeg)" > fakebin/ffmpeg
chmod +x fakebin/ffmpeg
set +e
PATH="$run/fakebin:$PATH" "$CAPTURE" --size 96x54 --start 80000 --jobs 2 --video out.mp4 2> err.txt
code=$?
set -e
[ "$code" = 1 ] && grep -q '^demo-capture: part 2 of 2 (85500 to 90597 ms) failed' err.txt \
    || fail "failed part: exit $code, $(cat err.txt)"
[ ! -e out.mp4 ] && ! left_behind || fail "a failed part left files: $(ls -A)"
# An interrupt while the parts record: exit 1 soon, nothing left, no part still running.
"$CAPTURE" --size 96x54 --start 40000 --jobs 2 --video out.mp4 2> err.txt &
capture=$!
for _ in $(seq 200); do [ "$(pgrep -c -P "$capture")" = 2 ] && break; sleep 0.05; done
parts=$(pgrep -P "$capture" | tr '\n' ' ')
[ -n "$parts" ] || fail "no parts started"
sleep 0.5
kill -INT "$capture"
for _ in $(seq 300); do kill -0 "$capture" 2>/dev/null || break; sleep 0.05; done
kill -0 "$capture" 2>/dev/null && { kill -KILL "$capture" $parts; fail "SIGINT did not end a split run"; }
set +e
wait "$capture"
code=$?
set -e
[ "$code" = 1 ] || fail "interrupted split run: exit $code ($(cat err.txt))"
for part in $parts; do ! kill -0 "$part" 2>/dev/null || fail "part $part still runs"; done
[ ! -e out.mp4 ] && ! left_behind || fail "an interrupted split run left files: $(ls -A)"
echo "capture_split: ok"
