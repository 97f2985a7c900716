#!/usr/bin/env bash
# The generated soundtrack is fit for listening as an EBU R128 meter (ffmpeg's ebur128) reads
# it: integrated loudness between -16 and -10 LUFS, true peak at most -1 dBTP.
source "$(dirname "$0")/lib/common.bash"
MUSIC="$BUILD_DIR/data/music.mp3"
[ -f "$MUSIC" ] || fail "no $MUSIC"
timeout 120 ffmpeg -hide_banner -nostats -i "$MUSIC" -af ebur128=peak=true -f null - \
    > /dev/null 2> "$WORK_DIR/meter.txt" || fail "ffmpeg failed: $(tail -3 "$WORK_DIR/meter.txt")"
# The summary at the end: "I: -13.1 LUFS" and, under "True peak:", "Peak: -2.0 dBFS".
read -r lufs peak < <(awk '/Summary:/ {s = 1} s && $1 == "I:" {i = $2} s && $1 == "Peak:" {p = $2}
                           END {print i, p}' "$WORK_DIR/meter.txt")
[ -n "$lufs" ] && [ -n "$peak" ] || fail "no summary: $(tail -12 "$WORK_DIR/meter.txt")"
awk -v i="$lufs" 'BEGIN {exit !(i >= -16 && i <= -10)}' || fail "integrated loudness $lufs LUFS"
awk -v p="$peak" 'BEGIN {exit !(p <= -1)}' || fail "true peak $peak dBTP"
echo "soundtrack loudness: $lufs LUFS, true peak $peak dBTP: ok"
