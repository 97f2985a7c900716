#!/usr/bin/env bash
# demo-capture never destroys what an output path names. A FIFO, and standard output on a
# pipe named through a link as /dev/stdout is, are written in place as a playable stream; a
# symbolic link stays and the file it names gets the video; a socket (standing in for any
# special file) and a link to nothing are refused and left as they were; a link planted
# under a name a temporary might have redirects nothing. Everything named lies in a scratch directory:
# a broken build must not be able to damage the system (/dev/stdout itself is never used).
source "$(dirname "$0")/lib/common.bash"
CAPTURE="$BUILD_DIR/tools/capture/demo-capture"
run=$(make_run_dir targets)
cd "$run"
[ -f data/music.mp3 ] || ffmpeg -hide_banner -loglevel error -f lavfi -i "sine=duration=91" data/music.mp3

record() { "$CAPTURE" --size 64x36 --start 90000 --video "$@" 2> err.txt; }
frames() {  # video frames decoded from a file: 36 for 90000..90583 ms at 60 fps
    ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames \
        -of csv=p=0 "$1"
}

ln -s /proc/self/fd/1 stdout.mp4
record stdout.mp4 | cat > piped.mp4 || fail "standard output on a pipe: $(tail -c 300 err.txt)"
[ -L stdout.mp4 ] || fail "the link to standard output was replaced"
[ "$(frames piped.mp4)" = 36 ] || fail "standard output: $(frames piped.mp4) frames"

mkfifo fifo
timeout 60 cat fifo > from-fifo.mp4 &
reader=$!
record fifo || fail "FIFO: $(tail -c 300 err.txt)"
wait "$reader" || fail "the FIFO's reader did not get the end of the stream"
[ -p fifo ] || fail "the FIFO was replaced"
[ "$(frames from-fifo.mp4)" = 36 ] || fail "FIFO: $(frames from-fifo.mp4) frames"

echo old > real.mp4
ln -s real.mp4 link.mp4
record link.mp4 || fail "link: $(tail -c 300 err.txt)"
[ "$(readlink link.mp4)" = real.mp4 ] || fail "the link was replaced: $(ls -l link.mp4)"
[ "$(frames real.mp4)" = 36 ] || fail "the linked file did not get the video"

refused() {  # path, then a check that what it names is unchanged
    expect_refusal "$1" "$CAPTURE" --size 64x36 --start 90000 --video "$1"
    eval "$2" || fail "$1: changed by the refused run"
}
python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('socket.mp4')"
refused socket.mp4 '[ -S socket.mp4 ]'
ln -s missing.mp4 dangling.mp4
refused dangling.mp4 '[ -L dangling.mp4 ] && [ ! -e missing.mp4 ]'
echo precious > victim.txt
ln -s victim.txt .out.mp4.part
record out.mp4 || fail "beside a planted link: $(tail -c 300 err.txt)"
[ "$(cat victim.txt)" = precious ] && [ -L .out.mp4.part ] || fail "a planted link was followed"
[ "$(frames out.mp4)" = 36 ] || fail "beside a planted link: $(frames out.mp4) frames"
echo "capture targets: ok"
