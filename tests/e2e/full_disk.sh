#!/usr/bin/env bash
# A full disk (a small tmpfs, as root): the data generator and the recorder fail with exit
# 1 and a line that says so, keep a good file that was there, and leave no temporary or
# partial file behind.
source "$(dirname "$0")/lib/common.bash"
DATAGEN="$BUILD_DIR/tools/datagen/datagen"
CAPTURE="$BUILD_DIR/tools/capture/demo-capture"
disk=$WORK_DIR/disk
mkdir "$disk"
if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o size=4m tmpfs "$disk" 2> "$WORK_DIR/mount.txt"; then
    echo "SKIP: a small tmpfs is needed and cannot be mounted here (run as root): $(cat "$WORK_DIR/mount.txt" 2>/dev/null)"
    exit 77
fi
trap 'umount "$disk" 2>/dev/null || umount -l "$disk"; stop_xvfb; rm -rf "$WORK_DIR"' EXIT

# fill FREE_KB: fills the disk up to FREE_KB kilobytes left.
fill() {
    rm -f "$disk/filler"
    local free_kb
    free_kb=$(df -k --output=avail "$disk" | tail -n 1)
    [ "$free_kb" -gt "$1" ] || return 0
    head -c $(( (free_kb - $1) * 1024 )) /dev/zero > "$disk/filler" 2>/dev/null || true
}
leftovers() { find "$disk" -name '*.part' | tr '\n' ' '; }

# expect_failure WHAT: the last command's exit code in code.txt is 1, err.txt names the
# failure in one line, nothing is left behind.
expect_failure() {
    [ "$(cat "$WORK_DIR/code.txt")" = 1 ] || fail "$1: exit $(cat "$WORK_DIR/code.txt") ($(tail -c 300 "$WORK_DIR/err.txt"))"
    tail -n 1 "$WORK_DIR/err.txt" | tr '\r' '\n' | tail -n 1 | grep -q -i 'no space left' ||
        fail "$1: no line says why: $(tail -c 300 "$WORK_DIR/err.txt")"
    [ -z "$(leftovers)" ] || fail "$1: left $(leftovers)"
    echo "ok: $1: $(tail -n 1 "$WORK_DIR/err.txt" | tr '\r' '\n' | tail -n 1)"
}
attempt() {  # runs the command, its stderr to err.txt, its exit code to code.txt
    set +e
    "$@" > /dev/null 2> "$WORK_DIR/err.txt"
    echo $? > "$WORK_DIR/code.txt"
    set -e
}

# The generator replacing good files: a small one on a disk with no room at all, a larger
# one on a disk with room for a part of it.
"$DATAGEN" "$disk" fonts.data font.tga > /dev/null || fail "the generator cannot write the tmpfs"
cp "$disk/fonts.data" "$disk/font.tga" "$WORK_DIR/"
fill 0
attempt "$DATAGEN" "$disk" fonts.data
expect_failure "generator, no room"
cmp -s "$disk/fonts.data" "$WORK_DIR/fonts.data" || fail "generator, no room: the good fonts.data was replaced"
rm -f "$disk/filler"
mkdir "$disk/new"
fill 64
attempt "$DATAGEN" "$disk/new" font.tga
expect_failure "generator, room for a part"
[ ! -e "$disk/new/font.tga" ] || fail "generator, room for a part: an incomplete font.tga was put in place"

# The recorder: frames, a contact sheet and a video onto the full disk.
run=$(make_run_dir capture)
cd "$run"
rm -f "$disk/filler"
mkdir "$disk/frames"
fill 0
attempt "$CAPTURE" --size 64x36 --start 90000 --png "$disk/frames"
expect_failure "recorder, frames"
[ -z "$(ls -A "$disk/frames")" ] || fail "recorder, frames: wrote $(ls -A "$disk/frames")"
if command -v ffmpeg > /dev/null && [ -f data/music.mp3 ]; then
    echo old > "$WORK_DIR/old.mp4"
    rm -f "$disk/filler"
    cp "$WORK_DIR/old.mp4" "$disk/show.mp4"
    fill 16
    attempt "$CAPTURE" --size 320x180 --start 85000 --video "$disk/show.mp4"
    [ "$(cat "$WORK_DIR/code.txt")" = 1 ] || fail "recorder, video: exit $(cat "$WORK_DIR/code.txt")"
    [ -z "$(leftovers)" ] || fail "recorder, video: left $(leftovers)"
    cmp -s "$disk/show.mp4" "$WORK_DIR/old.mp4" || fail "recorder, video: the old file was replaced"
    echo "ok: recorder, video: $(tail -n 1 "$WORK_DIR/err.txt" | tr '\r' '\n' | tail -n 1)"
fi
echo "full disk: ok"
