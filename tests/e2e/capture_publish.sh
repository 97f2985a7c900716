#!/usr/bin/env bash
# demo-capture's publishing and archiving outputs: an upload recording has every property
# the video site asks for, a master decodes to the drawn frames and the manifest's hashes
# with the soundtrack whole, the scenes become chapters, and combinations that cannot work
# are refused with exit 2 and nothing on disk.
source "$(dirname "$0")/lib/common.bash"
CAPTURE="$BUILD_DIR/tools/capture/demo-capture"
run=$(make_run_dir capture_publish)
cd "$run"
use_test_tone

# upload from 81000 ms: 9.6 s at 60 fps (576 frames), the end of the Lumenkarp scene and
# the closing cube.
"$CAPTURE" --size 160x90 --start 81000 --preset upload --video up.mp4 --chapters up.txt 2> err.txt \
    || fail "upload run failed: $(cat err.txt)"
probe() { ffprobe -v error -select_streams "$1" -show_entries "$2" -of default=nw=1 up.mp4 | tr '\n' ' '; }
[ "$(probe v stream=codec_name,profile,width,height,pix_fmt,field_order,has_b_frames,start_time,duration)" = \
  "codec_name=h264 profile=High width=160 height=90 has_b_frames=2 pix_fmt=yuv420p field_order=progressive start_time=0.000000 duration=9.600000 " ] \
    || fail "upload video: $(probe v stream=codec_name,profile,width,height,pix_fmt,field_order,has_b_frames,start_time,duration)"
[ "$(probe a stream=codec_name,profile,sample_rate,channels,start_time,duration)" = \
  "codec_name=aac profile=LC sample_rate=48000 channels=2 start_time=0.000000 duration=9.600000 " ] \
    || fail "upload audio: $(probe a stream=codec_name,profile,sample_rate,channels,start_time,duration)"
# Key frames every 30 frames and nowhere else; runs of at most two B-frames, and some of two.
ffprobe -v error -select_streams v -show_entries frame=key_frame,pict_type -of csv=p=0 up.mp4 > frames.csv
python3 - frames.csv <<'PY' || fail "upload GOP structure"
import sys, re
frames = [line.strip().split(",") for line in open(sys.argv[1]) if line.strip()]
keys = [i for i, f in enumerate(frames) if f[0] == "1"]
assert keys == list(range(0, len(frames), 30)), keys
types = "".join(f[1] for f in frames)
runs = [len(r) for r in re.findall("B+", types)]
assert max(runs) == 2, runs
PY
# The encoder's own record of its settings: CABAC, two B-frames, closed GOPs of 30, one-pass
# variable bitrate at the 720p60 row (7.5 Mbit/s).
for setting in cabac=1 bframes=2 open_gop=0 keyint=30 rc=abr bitrate=7500; do
    grep -aq "$setting" up.mp4 || fail "upload: x264 setting $setting missing"
done
python3 - up.mp4 <<'PY' || fail "upload: file layout"
import sys, struct
data = open(sys.argv[1], "rb").read()
top, at = [], 0
while at < len(data):
    size, kind = struct.unpack(">I4s", data[at:at + 8])
    top.append(kind.decode())
    at += size
assert top.index("moov") < top.index("mdat"), top  # index at the front
assert b"elst" not in data, "an edit list"
PY
[ "$(cat up.txt)" = "$(printf '0:00 Lumenkarp\n0:01 Closing cube')" ] || fail "chapter list: $(cat up.txt)"
[ "$(ffprobe -v error -show_entries chapter=start_time,end_time:chapter_tags=title -of csv=p=0 up.mp4 | tr '\n' ' ')" = \
  "0.000000,1.597000,Lumenkarp 1.597000,9.597000,Closing cube " ] \
    || fail "chapters in the MP4: $(ffprobe -v error -show_entries chapter=start_time,end_time:chapter_tags=title -of csv=p=0 up.mp4)"

# master: an odd size is fine in RGB. Every decoded frame is the drawn frame: its hash is
# the manifest's, and where --at keeps the same show frame, the PNG's too.
"$CAPTURE" --size 63x35 --start 89000 --preset master --video m.mkv --manifest m.json 2> err.txt \
    || fail "master run failed: $(cat err.txt)"
"$CAPTURE" --size 63x35 --start 89000 --at 89000,89050,89500 --png at 2> err.txt || fail "--at run failed: $(cat err.txt)"
ffmpeg -v error -i m.mkv -map 0:v -pix_fmt rgb24 -f framehash -hash sha256 - > frames.hash
for png in at/*.png; do
    ffmpeg -v error -i "$png" -pix_fmt rgb24 -f framehash -hash sha256 - | grep -v '^#'
done > at.hash
ffmpeg -v error -i data/music.mp3 -f s16le - > music.raw
ffmpeg -v error -i m.mkv -map 0:a -f s16le - > m.raw
[ "$(ffprobe -v error -show_entries stream=codec_name,pix_fmt -of csv=p=0 m.mkv | tr "\n" " ")" = "ffv1,bgr0 flac " ] \
    || fail "master streams: $(ffprobe -v error -show_entries stream=codec_name,pix_fmt -of csv=p=0 m.mkv)"
python3 - m.json frames.hash at.hash music.raw m.raw <<'PY' || fail "master against the manifest"
import array, json, sys
manifest = json.load(open(sys.argv[1]))
decoded = [line.split(",")[-1].strip() for line in open(sys.argv[2]) if not line.startswith("#")]
at = [line.split(",")[-1].strip() for line in open(sys.argv[3])]
frames = manifest["frames"]
assert manifest["fps"] == 60 and manifest["show_rate"] == 120
assert manifest["options"]["encoding"]["preset"] == "master"
assert len(frames) == len(decoded) == 96, (len(frames), len(decoded))
for j, f in enumerate(frames):
    clock = 89000 + j * 1000 // 60
    newest = max(k for k in range(clock * 120 // 1000 + 2) if k * 1000 // 120 <= clock)
    assert (f["index"], f["clock_ms"], f["show_frame"]) == (j, clock, newest), f
    assert f["sha256"] == decoded[j], "frame %d decodes to other pixels" % j
# 89000 and 89050 ms are show frames of their own (j = 0 and 3); 89500 is j = 30.
assert at == [frames[0]["sha256"], frames[3]["sha256"], frames[30]["sha256"]], "PNG frames differ"
# The soundtrack: its samples from the first frame's clock value, as long as the video (FLAC
# keeps 24 bits of the decoder's output, so 16-bit copies may differ by one step; a sample's
# shift of the 440 Hz tone would differ by hundreds).
audio = manifest["audio"]
music, master = (array.array("h", open(p, "rb").read()) for p in sys.argv[4:6])
assert audio["sample_rate"] == 44100 and audio["first_sample"] == 89000 * 441 // 10, audio
assert audio["samples"] == 96 * 44100 // 60 == len(master), (audio, len(master))
first = audio["first_sample"]
assert max(abs(a - b) for a, b in zip(master, music[first:])) <= 1, "the soundtrack is not aligned"
PY

# Refusals: exit 2, one line, nothing created (no video, manifest, chapter list or temporary).
refused() {
    expect_refusal "$*" "$@"
    [ -z "$(find . -maxdepth 1 \( -name 'out.*' -o -name '.*.part' \))" ] || fail "output left behind by: $*"
}
refused "$CAPTURE" --preset master --video out.mp4 --manifest out.json
grep -q "FFV1 does not go into MP4" "$WORK_DIR/refusal.txt" || fail "FFV1 in MP4: $(cat "$WORK_DIR/refusal.txt")"
refused "$CAPTURE" --preset upload --size 161x90 --video out.mp4 --chapters out.txt
refused "$CAPTURE" --preset master --codec h264 --video out.mp4   # FLAC in MP4
refused "$CAPTURE" --preset master --crf 10 --video out.mkv
refused "$CAPTURE" --preset youtube --video out.mp4
refused "$CAPTURE" --codec vp9 --video out.mkv
refused "$CAPTURE" --codec av1 --size 96x54 --video out.mp4
refused "$CAPTURE" --codec h264 --pix-fmt bgr0 --video out.mkv
refused "$CAPTURE" --preset upload --png out.frames
refused "$CAPTURE" --manifest out.json --at 1000 --png out.frames
refused "$CAPTURE" --encoder no_such_encoder --video out.mp4 --manifest out.json
grep -q "Unknown encoder 'no_such_encoder'" "$WORK_DIR/refusal.txt" \
    || fail "--encoder without ffmpeg's reason: $(cat "$WORK_DIR/refusal.txt")"
echo "capture_publish: ok"
