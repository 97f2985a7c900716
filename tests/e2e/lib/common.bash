# Shared helpers of the end-to-end scripts. Usage: source it with $1 = build dir, $2 = source dir.
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
SOURCE_DIR=$(cd "$2" && pwd)
DEMO="$BUILD_DIR/demo"
WORK_DIR=$(mktemp -d)
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.bash"
trap 'stop_xvfb; [ -n "${KEEP_E2E:-}" ] || rm -rf "$WORK_DIR"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# expect_refusal WHAT COMMAND...: COMMAND (a tool) refuses to run: exit code 2 and one line
# on stderr, which is left in $WORK_DIR/refusal.txt.
expect_refusal() {
    local what=$1 code=0
    shift
    "$@" > /dev/null 2> "$WORK_DIR/refusal.txt" || code=$?
    [ "$code" = 2 ] || fail "$what: exit $code instead of 2 ($(tail -c 300 "$WORK_DIR/refusal.txt"))"
    [ "$(wc -l < "$WORK_DIR/refusal.txt")" = 1 ] || fail "$what: not one line: $(cat "$WORK_DIR/refusal.txt")"
}

# A working directory for one run: data/ links to the generated data of the build, when
# there is some, so scripts can replace single files without touching the build.
make_run_dir() {
    local dir="$WORK_DIR/$1"
    mkdir -p "$dir/data"
    if [ -d "$BUILD_DIR/data" ]; then
        for f in "$BUILD_DIR"/data/*; do ln -s "$f" "$dir/data/"; done
    fi
    echo "$dir"
}

# use_test_tone: data/music.mp3 of the working directory becomes a 91 s 440 Hz tone (MP3,
# 44.1 kHz mono), so that recordings carry a soundtrack whose samples a test can tell apart.
use_test_tone() {
    rm -f data/music.mp3
    ffmpeg -hide_banner -loglevel error -f lavfi -i "sine=frequency=440:duration=91" \
        -c:a libmp3lame -b:a 96k data/music.mp3
}

# under_xvfb SNIPPET [SECONDS]: runs a bash snippet under a private Xvfb (1920x1080, 24
# bits; see xvfb.bash), for at most SECONDS (default 150, well under ctest's 300): past
# that it says so on stderr, ends the snippet with all it started and returns 124.
XVFB_RUNS=0
under_xvfb() {
    local status=0
    XVFB_RUNS=$((XVFB_RUNS + 1))
    start_xvfb "$WORK_DIR/xvfb-$XVFB_RUNS" || return 1
    run_bounded "${2:-150}" bash -c "$1" || status=$?
    stop_xvfb
    return "$status"
}

# Inside an under_xvfb snippet: "$WAIT_WINDOW" waits until the demo's window exists and has
# the keyboard focus (keys sent earlier would be lost), then prints its id.
export WAIT_WINDOW="$SOURCE_DIR/tests/e2e/lib/wait-window.bash"

# Inside an under_xvfb snippet: bash "$SKIP_SCENES" PID OUT [COUNT] skips scene after scene
# with Enter, making sure each one draws a frame, until the demo ends (see the script).
export SKIP_SCENES="$SOURCE_DIR/tests/e2e/lib/skip-scenes.bash"
# bash "$PRINT_CLOCK" PID OUT presses Space until one more clock value reaches OUT.
export PRINT_CLOCK="$SOURCE_DIR/tests/e2e/lib/print-clock.bash"
# bash "$KEY_AND_PRINT" PID OUT KEY... presses the keys, then Space, and waits for its print.
export KEY_AND_PRINT="$SOURCE_DIR/tests/e2e/lib/key-and-print.bash"
