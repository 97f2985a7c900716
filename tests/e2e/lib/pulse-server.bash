# A private PulseAudio server for one test, with a null sink "show" whose monitor source
# "show.monitor" records what the sink plays. Source this file, then:
#   pulse_start DIR [realtime]
#                     starts a server that keeps everything it writes under DIR (runtime
#                     directory, socket, cookie, log, PID file) and exports PULSE_SERVER,
#                     XDG_RUNTIME_DIR and HOME for the programs started afterwards; a second
#                     call with the same DIR after pulse_stop starts a fresh server on the
#                     same socket (a sound server restarted under a running client)
#   pulse_stop DIR    stops the server of DIR by its PID (TERM, then KILL after 5 s)
# Nothing outside DIR is read or written: -n skips the default start-up script, the
# configuration files are empty ones in DIR, HOME (where clients keep the cookie) points
# into DIR, and D-Bus is pointed at a socket that does not exist, so no session bus is ever
# launched. Run as root, pulseaudio only warns ("This program is not intended to be run as
# root"): it still runs as a per-user server, which is what the tests need. Real-time
# scheduling and raised priority stay off unless asked for with "realtime" (as a desktop's
# server has them), which measurements on a loaded machine need.

pulse_start() {
    local dir=$1 priority=no
    [ "${2:-}" != realtime ] || priority=yes
    mkdir -p "$dir/runtime" "$dir/home"
    chmod 700 "$dir/runtime"
    : > "$dir/daemon.conf"
    printf 'autospawn = no\n' > "$dir/client.conf"
    export HOME=$dir/home XDG_CONFIG_HOME=$dir/home/.config XDG_CACHE_HOME=$dir/home/.cache
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/no-bus
    export XDG_RUNTIME_DIR=$dir/runtime
    export PULSE_RUNTIME_PATH=$dir/runtime/pulse
    export PULSE_SERVER=unix:$dir/runtime/native
    export PULSE_CLIENTCONFIG=$dir/client.conf
    env -u DISPLAY PULSE_CONFIG="$dir/daemon.conf" pulseaudio -n --daemonize=no \
        --exit-idle-time=-1 --use-pid-file=no --realtime=$priority --high-priority=$priority \
        --disallow-exit=yes --log-target=file:"$dir/server.log" \
        --load="module-null-sink sink_name=show rate=44100" \
        --load="module-native-protocol-unix socket=$dir/runtime/native auth-anonymous=1" &
    local pid=$!
    echo "$pid" > "$dir/server.pid"
    local i
    for i in $(seq 200); do
        pactl info >/dev/null 2>&1 && return 0
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    echo "pulse_start: the server did not come up; its log:" >&2
    cat "$dir/server.log" >&2 || true
    pulse_stop "$dir"
    return 1
}

pulse_stop() {
    local dir=$1 pid i
    [ -f "$dir/server.pid" ] || return 0
    pid=$(cat "$dir/server.pid")
    rm -f "$dir/server.pid"
    kill -TERM "$pid" 2>/dev/null || return 0
    for i in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
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
