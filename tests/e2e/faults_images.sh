#!/usr/bin/env bash
# Every start-up image missing (or a FIFO, which must not be waited on), cut off in the middle of a pixel, with a header of an
# unsupported kind, or declaring 65535 x 65535 pixels in a file of a few bytes: the show
# still draws each of its ten scenes (skipped through with Enter, each drawing at least one
# frame with the bad data) and ends normally with exit code 0.
source "$(dirname "$0")/lib/common.bash"
export SDL_AUDIODRIVER=dummy DEMO="$DEMO"
images=(start 1 2 3 4 5 ruxo1 ruxo2 ruxo3 ruxo4 ruxo5 greetings lumenkarp texture blueTex divozed)

# damage KIND DIR: replaces every start-up image in DIR/data (links to the build's files).
damage() {
    python3 - "$1" "$2/data" "${images[@]}" <<'PY'
import os, struct, sys
kind, data, names = sys.argv[1], sys.argv[2], sys.argv[3:]
for i, name in enumerate(names):
    path = os.path.join(data, name + ".tga")
    original = open(path, "rb").read() if os.path.exists(path) else b""
    os.remove(path)
    if kind == "missing":
        if i % 2:
            os.mkfifo(path)  # opening it must not wait for a writer: as good as missing
        continue
    if kind == "truncated":
        # Half the pixel data, then one byte into the next pixel.
        depth = original[16] // 8
        pixels = len(original) - 18
        body = original[:18 + (pixels // 2) // depth * depth + 1]
    elif kind == "bad-header":
        # Colour-mapped (type 1) and grey (type 3) in turn, the rest of the file unchanged.
        body = original[:2] + bytes([1 if i % 2 else 3]) + original[3:]
    elif kind == "huge":
        # 65535 x 65535 at 32 bits, uncompressed and run-length encoded in turn, 8 bytes of data.
        body = bytes([0, 0, 10 if i % 2 else 2]) + bytes(9) + struct.pack("<HHBB", 65535, 65535, 32, 8)
        body += bytes([0x81, 1, 2, 3, 4, 0x7f, 5, 6]) if i % 2 else bytes(8)
    open(path, "wb").write(body)
PY
}

for kind in missing truncated bad-header huge; do
    run=$(make_run_dir "$kind")
    damage "$kind" "$run"
    cd "$run"
    # From 3.5 s on, so the opening scene also draws its captions. Scene 1 shows picture 0,
    # which is damaged in every case: a screenshot of its frame.
    under_xvfb '
        "$DEMO" --start=3500 > out.txt 2> err.txt & pid=$!
        bash "$WAIT_WINDOW" > /dev/null || exit 1
        bash "$PRINT_CLOCK" $pid out.txt || exit 1
        xdotool key Return
        bash "$PRINT_CLOCK" $pid out.txt || exit 1
        ffmpeg -loglevel error -y -f x11grab -video_size 1920x1080 -i "$DISPLAY" \
            -frames:v 1 -vf scale=192:108 -f rawvideo -pix_fmt rgb24 scene1.rgb
        bash "$SKIP_SCENES" $pid out.txt 9 || kill $pid
        wait_exit $pid 30 > code.txt' 240 || true
    [ -f code.txt ] || fail "$kind: the run did not finish; $(tail -5 err.txt)"
    [ "$(cat code.txt)" = 0 ] || fail "$kind: exit code $(cat code.txt); stderr: $(tail -5 err.txt)"
    # The clock was printed in scene 0, twice in scene 1 (the screenshot came between), after
    # each later skip in scenes 2 to 9, and the tenth skip ended the show.
    [ "$(wc -l < out.txt)" -eq 11 ] || fail "$kind: expected 11 clock prints, got: $(cat out.txt)"
    # A picture without an image shows as the cleared frame (it once was a white screen); a
    # cut-short one shows what arrived.
    if [ "$kind" != truncated ]; then
        python3 -c 'import sys; d = open("scene1.rgb", "rb").read()
assert len(d) == 192 * 108 * 3 and max(d) < 16, (len(d), max(d, default=0))' ||
            fail "$kind: scene 1 is not black where its picture failed"
    fi
    echo "ok: every start-up image $kind"
done
