#!/usr/bin/env bash
# A short run of the real demo under valgrind memcheck: start-up, the opening scene's caption
# frames (which build the font manager), one frame of every later scene (skipped through with
# Enter), and the exit-time releases (font manager, then the texture records). Fails on any
# invalid read, write or free, and on any definite leak with a frame in our code; leaks and
# uninitialised-value reports inside the system libraries (Mesa, X11, SDL) are not ours.
# An AddressSanitizer build cannot run under valgrind: there LeakSanitizer checks every run.
# Not part of ctest: under valgrind the run takes minutes (start-up alone several on a busy
# two-core machine). Usage: bash tests/valgrind_leaks.sh BUILD-DIR SOURCE-DIR
source "$(dirname "$0")/e2e/lib/common.bash"
if nm -D "$DEMO" 2>/dev/null | grep -q __asan_init || ldd "$DEMO" | grep -q libasan; then
    echo "skipped: $DEMO is an AddressSanitizer build (LeakSanitizer covers its runs)"
    exit 0
fi
command -v valgrind > /dev/null || fail "valgrind is not installed"
export DEMO="$DEMO" VALGRIND_LOG="$WORK_DIR/valgrind.log"
run=$(make_run_dir leaks)
cd "$run"
# softpipe: no JIT compiler under valgrind, which keeps the run short.
export GALLIUM_DRIVER=softpipe
under_xvfb '
    valgrind --leak-check=full --show-leak-kinds=definite --num-callers=40 --fullpath-after= \
        --log-file="$VALGRIND_LOG" "$DEMO" --mute --window=160x100 --start=3100 \
        > out.txt 2> err.txt & pid=$!
    for _ in $(seq 1200); do xdotool search --class demo > /dev/null 2>&1 && break; sleep 0.1; done
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    bash "$SKIP_SCENES" $pid out.txt 10 || kill $pid
    wait_exit $pid 300 > code.txt' 1500 || true
grep -q 'ERROR SUMMARY' "$VALGRIND_LOG" || fail "valgrind did not finish: $(tail -20 "$VALGRIND_LOG")"
[ "$(cat code.txt 2>/dev/null)" = 0 ] || fail "exit $(cat code.txt 2>/dev/null); $(tail -5 err.txt)"
[ "$(wc -l < out.txt)" -eq 9 ] || fail "not every scene was reached: $(cat out.txt)"
invalid=$(grep -E -A25 'Invalid (read|write|free)|Mismatched free|overlap in' "$VALGRIND_LOG" || true)
[ -z "$invalid" ] || fail "invalid memory use: $invalid"
# Loss records are paragraphs; keep the definite ones allocated by our code (the first frame
# below the allocator lies in our sources), not those of libraries that we called.
ours=$(awk -v src="$SOURCE_DIR/" 'BEGIN { RS = "==[0-9]+== \n" }
    /definitely lost/ {
        n = split($0, lines, "\n")
        for (i = 1; i <= n; ++i) {
            if (lines[i] !~ /(at|by) 0x/) continue
            if (lines[i] ~ /(malloc|calloc|realloc|memalign|operator new|strdup)/) continue
            if (index(lines[i], src)) print
            break
        }
    }' "$VALGRIND_LOG")
[ -z "$ours" ] || fail "definite leaks in our code: $ours"
grep -E 'definitely lost:|ERROR SUMMARY' "$VALGRIND_LOG" | sed 's/^==[0-9]*== */valgrind: /'
echo "ok: no invalid accesses, no definite leaks in our code"
