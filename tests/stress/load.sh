#!/usr/bin/env bash
# Loads the machine on purpose, for stress runs (take /work-wide quiet into account: run it
# under the machine lock where several people share the machine).
#   load.sh on DIR [SECONDS]   starts busy loops at normal priority (twice the core count)
#                              and a writer that floods DIR with fsync'ed data (one 64 MiB
#                              file, rewritten); their PIDs go to DIR/load.pids. Each stops
#                              by itself after SECONDS (default 1200).
#   load.sh off DIR            stops them by PID (TERM, then KILL after 5 s).
#   load.sh run [SECONDS] -- COMMAND...
#                              load on, COMMAND, load off; exits with COMMAND's status.
set -euo pipefail

load_on() {
    local dir=$1 seconds=${2:-1200} i
    mkdir -p "$dir"
    : > "$dir/load.pids"
    for ((i = 0; i < 2 * $(nproc); ++i)); do
        timeout "$seconds" bash -c 'while :; do :; done' &
        echo $! >> "$dir/load.pids"
    done
    timeout "$seconds" bash -c 'while :; do
        dd if=/dev/zero of="$1/flood" bs=1M count=64 conv=fsync status=none || sleep 1
    done' flood "$dir" &
    echo $! >> "$dir/load.pids"
}

load_off() {
    local dir=$1 pid i
    [ -f "$dir/load.pids" ] || return 0
    while read -r pid; do kill "$pid" 2>/dev/null || true; done < "$dir/load.pids"
    for ((i = 0; i < 50; ++i)); do
        local alive=0
        while read -r pid; do kill -0 "$pid" 2>/dev/null && alive=1; done < "$dir/load.pids"
        [ "$alive" = 0 ] && break
        sleep 0.1
    done
    while read -r pid; do kill -9 "$pid" 2>/dev/null || true; done < "$dir/load.pids"
    rm -f "$dir/load.pids" "$dir/flood"
}

case "${1:-}" in
    on) load_on "$2" "${3:-1200}" ;;
    off) load_off "$2" ;;
    run)
        shift
        seconds=1200
        [ "${1:-}" != "--" ] && { seconds=$1; shift; }
        [ "${1:-}" = "--" ] && shift
        dir=$(mktemp -d)
        trap 'load_off "$dir"; rm -rf "$dir"' EXIT
        load_on "$dir" "$seconds"
        status=0
        "$@" || status=$?
        exit "$status"
        ;;
    *)
        echo "usage: load.sh on DIR [SECONDS] | off DIR | run [SECONDS] -- COMMAND..." >&2
        exit 2
        ;;
esac
