#!/usr/bin/env bash
# How much recording the show costs beyond drawing and encoding it: demo-capture --video
# (1280x720, 60 fps) against (a) ffmpeg encoding the same raw frames from a file with the
# same arguments, and (b) that plus drawing the same frames with no output
# (demo-capture --draw-only). Prints the times (wall and CPU, ffmpeg included) and both
# ratios of CPU time; (b) is the recording's own overhead, (a) also counts the drawing.
#
#   scripts/recording-ratio.sh [build-dir] [scratch-dir] [start-ms] [capture-program]
#
# start-ms (default 0) records only from that clock value on, for a quick try;
# capture-program (default: the build's demo-capture) times another build's recorder
# (its frames, its ffmpeg arguments), for a before and after; the drawing alone is always
# timed with the build's recorder.
# The raw frames take about 20 GB for the whole show in the scratch directory (default: a
# new one under /var/tmp) and are removed at the end. Run it on a quiet machine; it takes
# minutes.
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
SCRATCH=$(mktemp -d "${2:-/var/tmp}/recording-ratio.XXXXXX")
trap 'rm -rf "$SCRATCH"' EXIT
START=${3:-0}
CAPTURE=$(realpath "${4:-$BUILD/tools/capture/demo-capture}")
[ -x "$CAPTURE" ] || { echo "no $CAPTURE" >&2; exit 2; }
need_kb=$(( (90596 - START) * 60 * 1280 * 720 * 4 / 1000 / 1024 + 1024 * 1024 ))
free_kb=$(df -Pk "$SCRATCH" | awk 'NR == 2 {print $4}')
[ "$free_kb" -gt "$need_kb" ] || { echo "need $((need_kb / 1024 / 1024)) GB free in $SCRATCH" >&2; exit 2; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# 1. The frames, through a stand-in for ffmpeg that keeps what it is sent and its arguments.
mkdir -p "$SCRATCH/bin"
cat > "$SCRATCH/bin/ffmpeg" <<'STANDIN'
#!/usr/bin/env bash
printf '%s\n' "$@" > "$RAW_DIR/args.txt"
cat > "$RAW_DIR/frames.raw"
: > "${@: -1}"
STANDIN
chmod +x "$SCRATCH/bin/ffmpeg"
cd "$BUILD"
RAW_DIR=$SCRATCH PATH="$SCRATCH/bin:$PATH" "$CAPTURE" --start "$START" --video "$SCRATCH/dump.mp4" 2>/dev/null

# 2. ffmpeg alone on the file: the capture's arguments with the pipe replaced by the file.
mapfile -t args < "$SCRATCH/args.txt"
last=$((${#args[@]} - 1))
for i in "${!args[@]}"; do
    [ "${args[$i]}" = "pipe:0" ] && args[$i]="$SCRATCH/frames.raw"
done
args[$last]="$SCRATCH/alone.mp4"

# Wall seconds and CPU seconds (user + system, children included) of a command.
measure() {
    /usr/bin/time -f "%e %U %S" -o "$SCRATCH/time.txt" "$@" 2>/dev/null
    awk '{printf "%.1f %.1f\n", $1, $2 + $3}' "$SCRATCH/time.txt"
}
read -r alone_wall alone_cpu < <(measure ffmpeg "${args[@]}")
rm -f "$SCRATCH/frames.raw"
# 3. Drawing alone, then the capture itself, ffmpeg included.
read -r draw_wall draw_cpu < <(measure "$BUILD/tools/capture/demo-capture" --start "$START" --draw-only)
read -r capture_wall capture_cpu < <(measure "$CAPTURE" --start "$START" --video "$SCRATCH/capture.mp4")

echo "load average at the start: $load_before, at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "ffmpeg alone from the file: ${alone_wall} s wall, ${alone_cpu} s CPU"
echo "drawing alone (--draw-only): ${draw_wall} s wall, ${draw_cpu} s CPU"
echo "demo-capture --video:       ${capture_wall} s wall, ${capture_cpu} s CPU"
awk -v c="$capture_cpu" -v a="$alone_cpu" -v d="$draw_cpu" \
    'BEGIN {printf "CPU ratio: (a) %.2f against ffmpeg alone, (b) %.2f against drawing plus ffmpeg\n", c / a, c / (d + a)}'
