#!/usr/bin/env bash
# measure-sync.sh BUILD_DIR [--start=MS] [--seconds=S] [--screen=WxH] [--load]
#                 [--restart-server] [--server=NAME] [--late-sink=MS] [--move-late=S]
#                 [--keys=S:KEY,...]
#                 [--keep=DIR] [-- DEMO ARGS]
# Plays the show from clock value MS for S seconds through a private sound server (SDL's own
# choice of audio driver, as on a desktop) on a private Xvfb screen (default 1280x720),
# and records with one ffmpeg process, so on one clock: a strip across the middle of the
# screen (x11grab, 500 grabs a second, averaged to 240 grey pixels) and the sound the server
# plays (its null sink's monitor). Then `demo-sync --measure` finds the beats in both and
# prints the offset at every beat.
#   --load            the stress harness's load (tests/stress/load.sh: busy loops on every
#                     core, an fsync'ing writer) during the run; run as root, the show also
#                     loses the right to raise thread priorities, as in the harness
#   --restart-server  stops the server 3 s into the show and starts a fresh one 2 s later;
#                     the recording starts after that
#   --server=NAME     the sound server: pulseaudio (default) or pipewire (with its PulseAudio
#                     service and WirePlumber, as on a Debian 12 desktop)
#   --late-sink=MS    the show plays to a sink that delays the sound by about MS and says
#                     so, as Bluetooth headphones do, made the default sink: through
#                     pulseaudio a tunnel sink with MS of fixed latency to the server's own
#                     null sink; through pipewire PipeWire's own PulseAudio tunnel (in a
#                     process of its own) to it, whose sink reports MS to the graph.
#                     A silent low-latency stream keeps the null sink at the latency a
#                     player's stream gives it otherwise: behind the tunnel's long buffer it
#                     would render 50 ms blocks, and its monitor place sound that much less
#                     exactly
#   --move-late=S     with --late-sink: the show starts on the null sink, and its stream is
#                     moved to the late sink S s after the recording starts (a viewer
#                     switching to Bluetooth headphones mid-show)
#   --keys=S:KEY,...  presses each KEY (an xdotool key name) S seconds after the show's window
#                     has the focus, in order; the recording starts after the last one, so
#                     what is measured is the show after those moves (a seek: 4 for scene 4;
#                     a pause and resume: p, then p again)
#   --keep=DIR        copies the recording and the show's output to DIR
# The instrument is kept from starving on a loaded machine: the sound server runs with
# real-time scheduling (as a desktop's does), Xvfb and the recorder with raised priority;
# the show runs as a normal user's would (run as root, it loses the right to raise its own
# threads' priorities).
# Exit status: demo-sync's (0 goals met, 1 missed), or 2 when the run itself failed.
# Needs pulseaudio (or pipewire, pipewire-pulse, wireplumber), pactl, parec, ffmpeg, Xvfb. Everything it starts is stopped by PID.
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
shift
start=0 seconds=20 screen=1280x720 keep="" restart=0 load=0 late=0 keys="" move_late=""
export SOUND_SERVER=pulseaudio
while [ $# -gt 0 ]; do
    case $1 in
        --start=*) start=${1#*=} ;;
        --seconds=*) seconds=${1#*=} ;;
        --screen=*) screen=${1#*=} ;;
        --load) load=1 ;;
        --restart-server) restart=1 ;;
        --server=*) SOUND_SERVER=${1#*=} ;;
        --late-sink=*) late=${1#*=} ;;
        --keep=*) keep=${1#*=} ;;
        --keys=*) keys=${1#*=} ;;
        --move-late=*) move_late=${1#*=} ;;
        --) shift; break ;;
        *) echo "measure-sync: unknown argument $1" >&2; exit 2 ;;
    esac
    shift
done
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib/xvfb.bash"
source "$here/../e2e/lib/pulse-server.bash"
pulse_has_server || { echo "measure-sync: $SOUND_SERVER is not installed" >&2; exit 2; }
work=$(mktemp -d)
show="" recorder="" keeper="" tunnel=""
stop_pid() {  # PID SIGNAL: signal, then up to 10 s for it to end, then KILL
    [ -n "$1" ] || return 0
    kill "-$2" "$1" 2>/dev/null || return 0
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
cleanup() {
    stop_pid "$show" KILL
    stop_pid "$recorder" INT
    stop_pid "$keeper" TERM
    stop_pid "$tunnel" TERM
    stop_xvfb
    pulse_stop "$work/pulse"
    [ "$load" = 0 ] || bash "$here/../stress/load.sh" off "$work/load"
    rm -rf "$work"
}
trap cleanup EXIT
[ "$load" = 0 ] || bash "$here/../stress/load.sh" on "$work/load" $((seconds + 120))
drop_nice=()
[ "$(id -u)" != 0 ] || drop_nice=(setpriv --inh-caps=-sys_nice --bounding-set=-sys_nice --)
# The sink that delays: a tunnel to the null sink through the server's own socket.
late_sink() {
    [ "$late" = 0 ] && return 0
    if [ "$SOUND_SERVER" = pipewire ]; then
        # PipeWire's own tunnel, a client of the server's PulseAudio service in a process of
        # its own (loaded into that service it would wait on itself); its sink reports the
        # tunnel's latency to the graph.
        cat > "$work/tunnel.conf" <<CONF
context.spa-libs = { audio.convert.* = audioconvert/libspa-audioconvert support.* = support/libspa-support }
context.modules = [
    { name = libpipewire-module-protocol-native }
    { name = libpipewire-module-client-node }
    { name = libpipewire-module-adapter }
    { name = libpipewire-module-pulse-tunnel
      args = { tunnel.mode = sink pulse.server.address = "$PULSE_SERVER" pulse.latency = $late
               node.target = show stream.props = { node.name = late node.description = late } } }
]
CONF
        stop_pid "$tunnel" TERM
        env -u DISPLAY pipewire -c "$work/tunnel.conf" > "$work/tunnel.log" 2>&1 &
        tunnel=$!
        for _ in $(seq 200); do pactl list sinks short | grep -q $'\tlate\t' && break; sleep 0.05; done
        [ -n "$move_late" ] || { pactl set-default-sink late && pulse_wait_sink "$work/pulse" late; } || return 1
    else
        pactl load-module module-tunnel-sink server="$PULSE_SERVER" sink=show sink_name=late \
            latency_msec="$late" > /dev/null && { [ -n "$move_late" ] || pactl set-default-sink late; } || return 1
    fi
    stop_pid "$keeper" TERM
    pacat --raw --latency-msec=10 -d show < /dev/zero &
    keeper=$!
}
pulse_start "$work/pulse" realtime || exit 2
late_sink || exit 2
unset SDL_AUDIODRIVER
start_xvfb "$work/x" "${screen}x24" || exit 2
renice -n -10 -p "$XVFB_PID" > /dev/null 2>&1 || true

# The recorder: first the sound server must be awake, or the stamps of its first packets
# are still settling when the music starts.
record() {
    nice -n -10 ffmpeg -nostdin -loglevel error -y \
        -thread_queue_size 16384 -f x11grab -framerate 500 -draw_mouse 0 \
        -video_size "${screen%x*}x8" -i "$DISPLAY+0,$(( ${screen#*x} / 2 ))" \
        -thread_queue_size 16384 -f pulse -sample_rate 44100 -channels 2 -i show.monitor \
        -map 0:v -vf scale=240:1:flags=area,format=gray -c:v rawvideo -fps_mode passthrough \
        -map 1:a -c:a pcm_s16le -copyts -fs 400M "$work/rec.nut" 2> "$work/ffmpeg.err" &
    recorder=$!
    pulse_wait_awake "$work/pulse" || exit 2
    sleep 2
    kill -0 "$recorder" 2>/dev/null || { echo "measure-sync: the recorder ended:" >&2; cat "$work/ffmpeg.err" >&2; exit 2; }
}
[ "$restart" = 1 ] || [ -n "$keys" ] || record
(cd "$BUILD_DIR" && exec "${drop_nice[@]}" ./demo --start="$start" "$@") > "$work/demo.out" 2> "$work/demo.err" &
show=$!
if [ "$restart" = 1 ]; then
    sleep 3
    pulse_stop "$work/pulse"
    sleep 2
    pulse_start "$work/pulse" realtime || exit 2
    late_sink || exit 2
    record
fi
if [ -n "$keys" ]; then
    bash "$here/../e2e/lib/wait-window.bash" > /dev/null || exit 2
    focused=$(date +%s.%N)
    IFS=, read -ra moves <<< "$keys"
    for move in "${moves[@]}"; do
        sleep "$(awk -v from="$focused" -v at="${move%%:*}" -v now="$(date +%s.%N)" \
            'BEGIN { d = from + at - now; print (d > 0 ? d : 0) }')"
        xdotool key "${move#*:}"
    done
    record
fi
if [ -n "$move_late" ]; then
    # The show's stream moved to the late sink, as a viewer switching to a headset does.
    sleep "$move_late"
    input=$(pactl list sink-inputs | awk '/^Sink Input #/ { id = substr($3, 2) }
        /application.name = "soltarek"/ { print id }' | tail -1)
    [ -n "$input" ] && pactl move-sink-input "$input" late ||
        { echo "measure-sync: the show's stream could not be moved" >&2; exit 2; }
    sleep "$(awk -v s="$seconds" -v m="$move_late" 'BEGIN { print (s > m ? s - m : 0) }')"
else
    sleep "$seconds"
fi
kill -0 "$show" 2>/dev/null || { echo "measure-sync: the show ended early:" >&2; cat "$work/demo.out" "$work/demo.err" >&2; exit 2; }
stop_pid "$show" TERM
show=""
sleep 0.5
stop_pid "$recorder" INT
recorder=""
stop_xvfb

rec=$work/rec
mkdir -p "$rec"
ffprobe -v error -select_streams v -show_entries packet=pts_time -of csv=p=0 "$work/rec.nut" > "$rec/video.times"
ffprobe -v error -select_streams a -show_entries packet=pts_time,size -of csv=p=0 "$work/rec.nut" > "$rec/audio.packets"
# Frames and samples as recorded: passthrough, never duplicated to fill a frame rate.
ffmpeg -nostdin -v error -y -i "$work/rec.nut" \
    -map 0:v -fps_mode passthrough -fs 100M -f rawvideo -pix_fmt gray "$rec/video.gray" \
    -map 0:a -fs 100M -f s16le "$rec/audio.s16"
[ -z "$keep" ] || { mkdir -p "$keep"; cp "$rec"/* "$work"/demo.out "$work"/demo.err "$keep"/; }
cd "$BUILD_DIR"
./tools/bench/demo-sync --measure="$rec" --start="$start"
