#!/usr/bin/env bash
# The font file missing, a FIFO, empty, without the spacing columns, without the image column, or
# naming a missing or broken image: the opening scene's caption frames (clock 3001 to
# 18096) run with captions drawn or absent, the demo keeps answering and Escape ends it
# with exit code 0.
source "$(dirname "$0")/lib/common.bash"
export SDL_AUDIODRIVER=dummy DEMO="$DEMO"

check_font() {  # name, then the font file's content (none: the file is missing)
    local name=$1 run
    run=$(make_run_dir "font-$name")
    rm -f "$run/data/fonts.data"
    [ $# -ge 2 ] && printf '%b' "$2" > "$run/data/fonts.data"
    [ "$name" != fifo ] || mkfifo "$run/data/fonts.data"  # opening it must not wait for a writer
    head -c 100 "$BUILD_DIR/data/font.tga" > "$run/data/cut.tga"
    cd "$run"
    under_xvfb '
        "$DEMO" --start=3200 > out.txt 2> err.txt & pid=$!
        bash "$WAIT_WINDOW" > /dev/null || exit 1
        # Each print comes two frames after the key: captions were drawn by then.
        bash "$PRINT_CLOCK" $pid out.txt && bash "$PRINT_CLOCK" $pid out.txt
        xdotool key Escape
        wait_exit $pid 30 > code.txt' || true
    [ -f code.txt ] || fail "$name: the run did not finish; $(tail -5 err.txt)"
    [ "$(cat code.txt)" = 0 ] || fail "$name: exit $(cat code.txt); $(tail -5 err.txt)"
    mapfile -t prints < out.txt
    [ "${#prints[@]}" = 2 ] || fail "$name: expected two clock prints, got: $(cat out.txt)"
    # The prints must fall in the caption span, or captions were not what was being drawn.
    [ "${prints[0]}" -gt 3000 ] && [ "${prints[1]}" -le 18096 ] || fail "$name: prints outside captions: ${prints[*]}"
    echo "ok: font file $name"
}

check_font missing
check_font fifo
check_font empty ''
check_font no-spacing 'mapfile\ndata/font.tga\n'
check_font no-mapfile 'xspace yspace\n1 2\n'
check_font missing-image 'mapfile xspace yspace\ndata/no-such-font.tga 0 0\n'
check_font cut-image 'mapfile xspace yspace\ndata/cut.tga -3 -2\n\n'
