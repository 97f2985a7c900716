#!/usr/bin/env bash
# measure-sync.sh BUILD_DIR [--start=MS] [--seconds=S] [--screen=WxH] [--restart-server]
#                 [--keep=DIR] [-- DEMO ARGS]
# Plays the show from clock value MS for S seconds through a private PulseAudio server (SDL's
# own choice of audio driver, as on a desktop) on a fresh Xvfb screen, and records with one
# ffmpeg process, so on one clock: a strip across the middle of the screen (x11grab, 500
# grabs a second, averaged to 240 grey pixels) and the sound the server plays (its null
# sink's monitor). Then `demo-sync --measure` finds the beats in both and prints the offset
# at every beat. --restart-server stops the server 3 s into the show and starts a fresh one
# 2 s later; the recording starts after that. --keep copies the recording to DIR.
# Exit status: demo-sync's (0 goals met, 1 missed), or 2 when the run itself failed.
# Needs pulseaudio, pactl, ffmpeg, Xvfb. Every process it starts is stopped by PID.
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
shift
start=0 seconds=20 screen=1280x720 keep="" restart=0
while [ $# -gt 0 ]; do
    case $1 in
        --start=*) start=${1#*=} ;;
        --seconds=*) seconds=${1#*=} ;;
        --screen=*) screen=${1#*=} ;;
        --restart-server) restart=1 ;;
        --keep=*) keep=${1#*=} ;;
        --) shift; break ;;
        *) echo "measure-sync: unknown argument $1" >&2; exit 2 ;;
    esac
    shift
done
LIB=$(cd "$(dirname "$0")/../e2e/lib" && pwd)
work=$(mktemp -d)
source "$LIB/pulse-server.bash"
trap 'pulse_stop "$work/pulse"; rm -rf "$work"' EXIT
pulse_start "$work/pulse"
mkdir -p "$work/rec"
unset SDL_AUDIODRIVER
export BUILD_DIR LIB work start seconds restart
export grab_size="${screen%x*}x8" grab_y=$(( ${screen#*x} / 2 ))
# Inside Xvfb: the recorder starts first (its sound stamps need a second or two to settle),
# then the show, which is ended with SIGTERM after the given time; the recorder with SIGINT.
timeout $((seconds + 150)) xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
    set -u
    source "$LIB/pulse-server.bash"
    record() {
        ffmpeg -nostdin -loglevel error -y \
            -thread_queue_size 16384 -f x11grab -framerate 500 -draw_mouse 0 \
            -video_size "$grab_size" -i "$DISPLAY+0,$grab_y" \
            -thread_queue_size 16384 -f pulse -sample_rate 44100 -channels 2 -i show.monitor \
            -map 0:v -vf scale=240:1:flags=area,format=gray -c:v rawvideo -fps_mode passthrough \
            -map 1:a -c:a pcm_s16le -copyts -fs 400M "$work/rec.nut" 2> "$work/ffmpeg.err" &
        recorder=$!
        sleep 2.5
        kill -0 $recorder 2>/dev/null || { echo "measure-sync: the recorder did not start:" >&2; cat "$work/ffmpeg.err" >&2; exit 1; }
    }
    [ "$restart" = 1 ] || record
    cd "$BUILD_DIR"
    ./demo --start="$start" "$@" > "$work/demo.out" 2> "$work/demo.err" &
    show=$!
    if [ "$restart" = 1 ]; then
        sleep 3
        pulse_stop "$work/pulse"
        sleep 2
        pulse_start "$work/pulse" || exit 1
        record
    fi
    sleep "$seconds"
    kill -TERM $show 2>/dev/null
    for _ in $(seq 100); do kill -0 $show 2>/dev/null || break; sleep 0.1; done
    kill -KILL $show 2>/dev/null && echo "measure-sync: the show did not end on SIGTERM" >&2
    wait $show; echo $? > "$work/demo.code"
    sleep 0.5
    kill -INT $recorder
    for _ in $(seq 100); do kill -0 $recorder 2>/dev/null || break; sleep 0.1; done
    kill -KILL $recorder 2>/dev/null
    wait $recorder  # 255 after SIGINT: ffmpeg still closes its file properly
    exit 0
' measure-sync "$@"
if [ "$(cat "$work/demo.code" 2>/dev/null)" != 0 ]; then
    echo "measure-sync: the show failed (exit $(cat "$work/demo.code" 2>/dev/null)):" >&2
    cat "$work/demo.out" "$work/demo.err" >&2
    exit 2
fi
rec=$work/rec
ffprobe -v error -select_streams v -show_entries packet=pts_time -of csv=p=0 "$work/rec.nut" > "$rec/video.times"
ffprobe -v error -select_streams a -show_entries packet=pts_time,size -of csv=p=0 "$work/rec.nut" > "$rec/audio.packets"
# Frames and samples as recorded: passthrough, never duplicated to fill a frame rate.
ffmpeg -nostdin -v error -y -i "$work/rec.nut" \
    -map 0:v -fps_mode passthrough -fs 100M -f rawvideo -pix_fmt gray "$rec/video.gray" \
    -map 0:a -fs 100M -f s16le "$rec/audio.s16"
[ -z "$keep" ] || { mkdir -p "$keep"; cp "$rec"/* "$work"/demo.* "$keep"/; }
cd "$BUILD_DIR"
./tools/bench/demo-sync --measure="$rec" --start="$start"
