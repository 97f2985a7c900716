#!/usr/bin/env bash
# Without any display the demo says why in one "Error: " line and exits 1 instead of running blind.
source "$(dirname "$0")/lib/common.bash"
run=$(make_run_dir nodisplay)
cd "$run"
set +e
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy timeout 30 "$DEMO" > out.txt 2>/dev/null
code=$?
set -e
[ "$code" = 1 ] || fail "exit code $code, output: $(cat out.txt)"
grep -q '^Error: ' out.txt || fail "no error line: $(cat out.txt)"
[ "$(wc -l < out.txt)" = 1 ] || fail "more than one line: $(cat out.txt)"
echo "display failure: ok ($(cat out.txt))"
