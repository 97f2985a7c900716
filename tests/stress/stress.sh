#!/usr/bin/env bash
# Stress harness: whole or partial runs of the real demo under Xvfb with SDL's disk audio
# output while the machine is loaded on purpose (load.sh: busy loops on every core, a disk
# writer that fsyncs). The show's data is copied fresh for each run and dropped from the page
# cache, so images and music are read cold. Runs as root drop the right to raise thread
# priorities, so the demo runs as a normal user's would.
#
#   stress.sh [--build DIR] [--runs N] [--start MS] [--no-load] [--out DIR] [-- DEMO-ARGS...]
#
# For each run it prints one row: first frame and first call of the sound output (ms after
# process start), exit code, the last frame (ms after start, and how late it came against the
# show's own end, 90596 - MS after start, and by the music: how much more audio than the
# show's 90596 - MS the program had handed to the sound output by then, in ms of audio;
# under load SDL's disk output takes its audio slower than real time, and the show's clock
# follows the music while it drifts slowly), when
# the process was gone (ms after start: the exit-time routines and the process teardown
# follow the last frame; under heavy load they take a second or two), the length of
# the written audio (ms; SDL's disk output paces itself with sleeps, so under load it writes
# less than real time), frames, the longest frame, and the written audio against the
# decoded soundtrack: dropouts (count, total and longest ms; audio.txt also says where the
# first one began) or "corrupt". A run passes when it ends by itself with exit 0, its last
# frame within 1 s of the show's end (by the wall clock or by the music) and the process
# gone 5 s after it at most, and its audio is the soundtrack without a dropout. A run that
# does not end within its bound has its threads' stacks taken with gdb (stack.txt) and is killed.
# Exit status: 0 when every run passed, 1 otherwise, 2 for bad arguments.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib/xvfb.bash"

build="$here/../../build-test" runs=1 start=0 load=yes out="" demo_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift ;;
        --build=*) build=${1#*=} ;;
        --runs) runs=$2; shift ;;
        --runs=*) runs=${1#*=} ;;
        --start) start=$2; shift ;;
        --start=*) start=${1#*=} ;;
        --no-load) load=no ;;
        --out) out=$2; shift ;;
        --out=*) out=${1#*=} ;;
        --) shift; demo_args=("$@"); break ;;
        *) echo "stress.sh: unknown argument $1" >&2; exit 2 ;;
    esac
    shift
done
[[ "$runs" =~ ^[0-9]+$ && "$start" =~ ^[0-9]+$ && "$start" -le 90596 ]] ||
    { echo "stress.sh: --runs and --start take whole numbers (--start 0..90596)" >&2; exit 2; }
build=$(cd "$build" && pwd)
for f in demo data/music.mp3 tests/sound_fixture; do
    [ -e "$build/$f" ] || { echo "stress.sh: $build/$f is missing (build with -DDEMO_TESTS=ON)" >&2; exit 2; }
done
own_out=no
[ -n "$out" ] || { out=$(mktemp -d /tmp/stress.XXXXXX); own_out=yes; }
mkdir -p "$out"
out=$(cd "$out" && pwd)

show_ms=$((90596 - start))
bound_s=$((show_ms / 1000 + 45))  # a run that is not over by then hangs
# The written audio is the measuring instrument, not the thing measured: it goes to memory
# (tmpfs) where there is one, so the disk flood does not hold up SDL's disk output.
audio_dir=$(mktemp -d /dev/shm/stress-audio.XXXXXX 2> /dev/null || mktemp -d "$out/audio.XXXXXX")
cc -O2 -shared -fPIC $(pkg-config --cflags sdl2) -o "$out/frame-probe.so" "$here/frame-probe.c" -ldl
drop_nice=()
if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; then
    drop_nice=(setpriv --inh-caps=-sys_nice --bounding-set=-sys_nice --)
fi

cleanup() {
    stop_xvfb
    rm -rf "$audio_dir"
    [ -z "${demo_pid:-}" ] || kill -9 "$demo_pid" 2>/dev/null || true
    [ "$load" != yes ] || bash "$here/load.sh" off "$out/load"
    return 0
}
trap cleanup EXIT
[ "$load" = yes ] && bash "$here/load.sh" on "$out/load" $((runs * (bound_s + 30) + 60))

echo "stress: $runs run(s) from $start ms, load $load, machine load average $(cut -d' ' -f1-3 /proc/loadavg), results in $out"
printf '%-4s %8s %8s %5s %8s %7s %8s %8s %9s %6s %10s %8s %10s %10s %s\n' run first_ms audio_at exit last_ms late_ms music_ms gone_ms audio_ms frames longest_ms dropouts dropout_ms longest_ms verdict
failed=0
for ((run = 1; run <= runs; ++run)); do
    dir="$out/run-$run"
    rm -rf "$dir"
    mkdir -p "$dir"
    # Fresh data, written out and dropped from the page cache: the demo reads it cold.
    cp -r "$build/data" "$dir/data"
    for f in "$dir"/data/*; do
        sync "$f"
        dd if="$f" iflag=nocache count=0 status=none 2>/dev/null || true
    done
    start_xvfb "$dir/x" || { echo "$run: no X server"; failed=$((failed + 1)); continue; }
    cd "$dir"
    began=$(date +%s%N)
    SOLTAREK_NO_DIALOG=1 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio_dir/audio.raw" FRAME_PROBE_OUT="$dir/probe.txt" \
        LD_PRELOAD="$out/frame-probe.so" "${drop_nice[@]}" "$build/demo" --start="$start" \
        "${demo_args[@]}" > demo.out 2> demo.err &
    demo_pid=$!
    for ((i = 0; i < bound_s * 10; ++i)); do kill -0 "$demo_pid" 2>/dev/null || break; sleep 0.1; done
    ended=$(date +%s%N)
    code=0
    if kill -0 "$demo_pid" 2>/dev/null; then
        code=hang
        timeout 60 gdb -p "$demo_pid" -batch -ex 'thread apply all bt 30' > stack.txt 2>&1 || true
        kill -9 "$demo_pid" 2>/dev/null || true
        wait "$demo_pid" 2>/dev/null || true
    else
        wait "$demo_pid" || code=$?
    fi
    demo_pid=
    stop_xvfb
    gone_ms=$(((ended - began) / 1000000))
    probe() { awk -v k="$1" '$1 == k { print $2 }' probe.txt 2> /dev/null | tail -n 1; }
    first=$(probe first_frame_ms) frames=$(probe frames) longest=$(probe longest_frame_ms)
    last=$(probe last_frame_ms) first_audio=$(probe first_audio_ms) audio_at_last=$(probe audio_at_last_frame_ms)
    late_ms=$((${last:-0} - show_ms))
    music_late=-
    [ -z "$audio_at_last" ] || music_late=$((audio_at_last - show_ms))
    audio=$("$build/tests/sound_fixture" dropouts "$audio_dir/audio.raw" data/music.mp3 "$start" 2>&1 | tail -n 1 || true)
    audio_ms=$(($(stat -c %s "$audio_dir/audio.raw" 2> /dev/null || echo 0) * 10 / 1764))
    echo "$audio" > audio.txt
    read -r dropouts dropout_ms audio_longest corrupt < <(awk '{ print $6, $8, $10, $12 }' <<< "$audio")
    verdict=ok
    [ "$code" = 0 ] || verdict="exit $code"
    [ "$code" = hang ] && verdict="hang (stack.txt)"
    [ "$verdict" = ok ] && [ -z "$last" ] && verdict="no frame"
    # On time by the wall clock, or by the music where the output took it slower than real
    # time and the clock followed it.
    if [ "$verdict" = ok ] && [ "${late_ms#-}" -gt 1000 ] &&
       { [ "$music_late" = - ] || [ "${music_late#-}" -gt 1000 ]; }; then
        verdict="ended ${late_ms} ms off (${music_late} ms from the music's end)"
    fi
    [ "$verdict" = ok ] && [ $((gone_ms - last)) -gt 5000 ] && verdict="exit took $((gone_ms - last)) ms"
    [ "$verdict" = ok ] && [ "${dropouts:-x}" != 0 ] && verdict="dropouts"
    [ "$verdict" = ok ] && [ "${corrupt:-x}" != no ] && verdict="audio: $audio"
    [ "$verdict" = ok ] || failed=$((failed + 1))
    printf '%-4s %8s %8s %5s %8s %7s %8s %8s %9s %6s %10s %8s %10s %10s %s\n' "$run" "${first:--}" "${first_audio:--}" "$code" \
        "${last:--}" "$late_ms" "$music_late" "$gone_ms" "$audio_ms" "${frames:--}" "${longest:--}" "${dropouts:--}" "${dropout_ms:--}" \
        "${audio_longest:--}" "$verdict" | tee -a "$out/results.txt"
    # Keep the written audio of failed runs only: a whole show is 16 MB.
    if [ "$verdict" = ok ]; then rm -f "$audio_dir/audio.raw"; else mv "$audio_dir/audio.raw" . 2> /dev/null || true; fi
    rm -rf "$dir/data"
    cd "$out"
done
echo "stress: $((runs - failed)) of $runs run(s) passed; machine load average $(cut -d' ' -f1-3 /proc/loadavg)"
# The load stops first (its PIDs are kept under $out); a results directory of our own is
# kept only when something failed.
[ "$load" != yes ] || bash "$here/load.sh" off "$out/load"
load=no
[ "$failed" != 0 ] || [ "$own_out" = no ] || rm -rf "$out"
[ "$failed" = 0 ]
