#!/usr/bin/env bash
# How much recording the show costs beyond encoding it: demo-capture --video of the whole
# show (1280x720, 60 fps) against ffmpeg encoding the same raw frames from a file with the
# same arguments. Prints both times (wall and CPU, ffmpeg included) and their ratio.
#
#   scripts/recording-ratio.sh [build-dir] [scratch-dir] [start-ms]
#
# start-ms (default 0) records only from that clock value on, for a quick try.
# The raw frames take about 20 GB in the scratch directory (default: a new one under
# /var/tmp) and are removed at the end. Run it on a quiet machine; it takes minutes.
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
SCRATCH=$(mktemp -d "${2:-/var/tmp}/recording-ratio.XXXXXX")
trap 'rm -rf "$SCRATCH"' EXIT
START=${3:-0}
CAPTURE="$BUILD/tools/capture/demo-capture"
[ -x "$CAPTURE" ] || { echo "no $CAPTURE" >&2; exit 2; }
free_kb=$(df -Pk "$SCRATCH" | awk 'NR == 2 {print $4}')
[ "$free_kb" -gt $((22 * 1024 * 1024)) ] || { echo "need 22 GB free in $SCRATCH" >&2; exit 2; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# 1. The frames, through a stand-in for ffmpeg that keeps what it is sent and its arguments.
mkdir -p "$SCRATCH/bin"
cat > "$SCRATCH/bin/ffmpeg" <<'EOF'
#!/usr/bin/env bash
printf '%s\n' "$@" > "$RAW_DIR/args.txt"
cat > "$RAW_DIR/frames.rgba"
: > "${@: -1}"
EOF
chmod +x "$SCRATCH/bin/ffmpeg"
cd "$BUILD"
RAW_DIR=$SCRATCH PATH="$SCRATCH/bin:$PATH" "$CAPTURE" --start "$START" --video "$SCRATCH/dump.mp4" 2>/dev/null

# 2. ffmpeg alone on the file: the capture's arguments with the pipe replaced by the file.
mapfile -t args < "$SCRATCH/args.txt"
last=$((${#args[@]} - 1))
for i in "${!args[@]}"; do
    [ "${args[$i]}" = "pipe:0" ] && args[$i]="$SCRATCH/frames.rgba"
done
args[$last]="$SCRATCH/alone.mp4"

# Wall seconds and CPU seconds (user + system, children included) of a command.
measure() {
    /usr/bin/time -f "%e %U %S" -o "$SCRATCH/time.txt" "$@" 2>/dev/null
    awk '{printf "%.1f %.1f\n", $1, $2 + $3}' "$SCRATCH/time.txt"
}
read -r alone_wall alone_cpu < <(measure ffmpeg "${args[@]}")
# 3. The capture itself, ffmpeg included; the raw file goes first to leave the disk alone.
rm -f "$SCRATCH/frames.rgba"
read -r capture_wall capture_cpu < <(measure "$CAPTURE" --start "$START" --video "$SCRATCH/capture.mp4")

echo "load average at the start: $load_before, at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "ffmpeg alone from the file: ${alone_wall} s wall, ${alone_cpu} s CPU"
echo "demo-capture --video:       ${capture_wall} s wall, ${capture_cpu} s CPU"
awk -v a="$alone_wall" -v c="$capture_wall" -v ac="$alone_cpu" -v cc="$capture_cpu" \
    'BEGIN {printf "ratio: %.2f wall, %.2f CPU\n", c / a, cc / ac}'
