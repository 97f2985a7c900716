# A private sound server for one test, speaking the PulseAudio protocol, with a null sink
# "show" whose monitor source "show.monitor" records what the sink plays. SOUND_SERVER
# chooses which: "pulseaudio" (default) or "pipewire" (PipeWire with its PulseAudio service
# and WirePlumber, as on a Debian 12 desktop). Source this file, then:
#   pulse_start DIR [realtime]
#                     starts a server that keeps everything it writes under DIR (runtime
#                     directory, socket, cookie, log, PID files) and exports PULSE_SERVER,
#                     XDG_RUNTIME_DIR and HOME for the programs started afterwards; a second
#                     call with the same DIR after pulse_stop starts a fresh server on the
#                     same socket (a sound server restarted under a running client)
#   pulse_stop DIR    stops the server of DIR by its PIDs (TERM, then KILL after 5 s)
#   pulse_has_server  true when the chosen server's programs are installed
# Nothing outside DIR is read or written: -n skips PulseAudio's default start-up script,
# the configuration files are empty ones (or, for WirePlumber, ones without device
# monitors, portal or Bluetooth) in DIR, HOME (where clients keep the cookie) points into
# DIR, and D-Bus is pointed at sockets that do not exist, so no bus is ever launched or
# used. Run as root, pulseaudio only warns ("This program is not intended to be run as
# root"): it still runs as a per-user server, which is what the tests need. Real-time
# scheduling and raised priority stay off unless asked for with "realtime" (as a desktop's
# server has them), which measurements on a loaded machine need; PipeWire takes them
# wherever it may, as it does on a desktop.
# The server's PID (the one a test stops with SIGSTOP to make it stop answering) is in
# DIR/server.pid: pulseaudio, or pipewire-pulse.

pulse_has_server() {
    case ${SOUND_SERVER:-pulseaudio} in
        pulseaudio) command -v pulseaudio > /dev/null && command -v parec > /dev/null ;;
        pipewire) command -v pipewire > /dev/null && command -v pipewire-pulse > /dev/null &&
                  command -v wireplumber > /dev/null && command -v parec > /dev/null ;;
        *) return 1 ;;
    esac
}

pulse_environment() {  # DIR: the variables every client and server of DIR runs with
    local dir=$1
    mkdir -p "$dir/runtime" "$dir/home"
    chmod 700 "$dir/runtime"
    printf 'autospawn = no\n' > "$dir/client.conf"
    export HOME=$dir/home XDG_CONFIG_HOME=$dir/home/.config XDG_CACHE_HOME=$dir/home/.cache
    export XDG_STATE_HOME=$dir/home/.local/state
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/no-bus
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$dir/no-system-bus
    export XDG_RUNTIME_DIR=$dir/runtime PIPEWIRE_RUNTIME_DIR=$dir/runtime
    export PULSE_RUNTIME_PATH=$dir/runtime/pulse
    export PULSE_CLIENTCONFIG=$dir/client.conf
}

# pulse_wait_answer DIR PID...: waits (up to 10 s) until the server answers; false, with
# the logs, when it does not or one of the PIDs ended.
pulse_wait_answer() {
    local dir=$1 i pid
    shift
    for i in $(seq 200); do
        pactl info > /dev/null 2>&1 && return 0
        for pid in "$@"; do kill -0 "$pid" 2> /dev/null || break 2; done
        sleep 0.05
    done
    echo "pulse_start: the server did not come up; its log:" >&2
    cat "$dir"/*.log >&2 || true
    return 1
}

pulse_start() {
    case ${SOUND_SERVER:-pulseaudio} in
        pulseaudio) pulseaudio_start "$@" ;;
        pipewire) pipewire_start "$@" ;;
        *) echo "pulse_start: unknown SOUND_SERVER $SOUND_SERVER" >&2; return 1 ;;
    esac
}

pulseaudio_start() {
    local dir=$1 priority=no
    [ "${2:-}" != realtime ] || priority=yes
    pulse_environment "$dir"
    : > "$dir/daemon.conf"
    export PULSE_SERVER=unix:$dir/runtime/native
    env -u DISPLAY PULSE_CONFIG="$dir/daemon.conf" pulseaudio -n --daemonize=no \
        --exit-idle-time=-1 --use-pid-file=no --realtime=$priority --high-priority=$priority \
        --disallow-exit=yes --log-target=file:"$dir/server.log" \
        --load="module-null-sink sink_name=show rate=44100" \
        --load="module-native-protocol-unix socket=$dir/runtime/native auth-anonymous=1" &
    echo $! > "$dir/server.pid"
    pulse_wait_answer "$dir" "$(cat "$dir/server.pid")" || { pulse_stop "$dir"; return 1; }
}

# PipeWire as a Debian 12 desktop runs it (its stock configuration, the graph at 48 kHz),
# less what would reach outside DIR: WirePlumber without device monitors (a machine's sound
# card stays its own desktop's), the Flatpak portal or Bluetooth (both need D-Bus).
pipewire_start() {
    local dir=$1 wp
    pulse_environment "$dir"
    export PULSE_SERVER=unix:$dir/runtime/pulse/native
    wp=$XDG_CONFIG_HOME/wireplumber
    mkdir -p "$wp/main.lua.d"
    sed '/bluetooth\.lua/d' /usr/share/wireplumber/wireplumber.conf > "$wp/wireplumber.conf"
    printf '%s\n' 'alsa_monitor.enabled = false' 'v4l2_monitor.enabled = false' \
        'libcamera_monitor.enabled = false' \
        'default_access.properties["enable-flatpak-portal"] = false' > "$wp/main.lua.d/60-private.lua"
    env -u DISPLAY pipewire > "$dir/pipewire.log" 2>&1 &
    echo $! > "$dir/pipewire.pid"
    env -u DISPLAY wireplumber > "$dir/wireplumber.log" 2>&1 &
    echo $! > "$dir/wireplumber.pid"
    env -u DISPLAY pipewire-pulse > "$dir/pipewire-pulse.log" 2>&1 &
    echo $! > "$dir/server.pid"
    pulse_wait_answer "$dir" "$(cat "$dir/pipewire.pid")" "$(cat "$dir/wireplumber.pid")" \
        "$(cat "$dir/server.pid")" &&
        pactl load-module module-null-sink sink_name=show rate=44100 > /dev/null &&
        pipewire_set_default_sink show && pulse_wait_sink "$dir" show || { pulse_stop "$dir"; return 1; }
}

# pipewire_set_default_sink NAME: the default sink is a setting WirePlumber keeps, and until
# WirePlumber has made it (seconds after its start on a busy machine) PipeWire's PulseAudio
# service refuses to set it ("Failure: Not supported"): tried for up to 10 s.
pipewire_set_default_sink() {
    local i
    for i in $(seq 200); do
        pactl set-default-sink "$1" 2> /dev/null && return 0
        sleep 0.05
    done
    echo "pulse_start: the default sink could not be set within 10 s: $(pactl set-default-sink "$1" 2>&1)" >&2
    return 1
}

# pulse_wait_sink DIR NAME: waits (up to 10 s) until the sink NAME is the default one (the
# session manager takes the choice a moment later; left to choose by itself it took more
# than 5 s once at load 2).
pulse_wait_sink() {
    local i
    for i in $(seq 200); do
        [ "$(pactl get-default-sink 2> /dev/null)" = "$2" ] && return 0
        sleep 0.05
    done
    echo "pulse_start: sink $2 did not become the default within 10 s" >&2
    return 1
}

pulse_stop() {
    local dir=$1 name pid i
    for name in server wireplumber pipewire; do
        [ -f "$dir/$name.pid" ] || continue
        pid=$(cat "$dir/$name.pid")
        rm -f "$dir/$name.pid"
        kill -TERM "$pid" 2> /dev/null || continue
        for i in $(seq 100); do
            kill -0 "$pid" 2> /dev/null || continue 2
            sleep 0.05
        done
        kill -KILL "$pid" 2> /dev/null || true
    done
}

# pulse_wait_awake DIR: waits (up to 15 s) until the null sink plays in real time. An idle
# null sink has rendered 2 s ahead and takes no data until that time has passed; a recorder
# that connects then misses what a player sends meanwhile. Call it after starting the
# recorder (whose stream keeps the sink awake) and before starting the player.
pulse_wait_awake() {
    local dir=$1 pid i
    parec --raw -d show.monitor > "$dir/awake.raw" 2>/dev/null &
    pid=$!
    for i in $(seq 150); do
        [ "$(stat -c %s "$dir/awake.raw" 2>/dev/null || echo 0)" -ge 4096 ] && break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ "$(stat -c %s "$dir/awake.raw")" -ge 4096 ] || { echo "pulse_wait_awake: the sink never ran" >&2; return 1; }
    rm -f "$dir/awake.raw"
}
