#!/usr/bin/env bash
# demo-bench runs the whole timeline offscreen on the player's schedule (120 show frames a
# second, a 60 Hz display) and prints one JSON object with a group of timed presents for
# every scene, the references, the start-up time, the Julia times and the peak memory; bad
# options end it with code 2 before any drawing.
source "$(dirname "$0")/lib/common.bash"
BENCH="$BUILD_DIR/tools/bench/demo-bench"
run=$(make_run_dir bench)

"$BENCH" --dir "$run" --size 96x54 --frames 4 --julia 2 --json > "$WORK_DIR/bench.json" \
    || fail "demo-bench --json failed"
python3 - "$WORK_DIR/bench.json" <<'PY' || fail "bad JSON: $(cat "$WORK_DIR/bench.json")"
import json, sys
r = json.load(open(sys.argv[1]))
assert r["size"] == "96x54", r["size"]
assert r["show_rate"] == 120 and r["refresh_hz"] == 60 and r["needed_fps"] == 60, r
assert r["references"]["empty"] > 0 and r["references"]["quad"] > 0
assert [s["scene"] for s in r["scenes"]] == list(range(10))
for s in r["scenes"]:
    assert s["frames"] == 4, s
    assert s["fps"] > 0 and 0 < s["p50_ms"] <= s["p95_ms"], s
    # Each 60 Hz present runs a show frame without pixels before the one it shows.
    assert s["keeps_up"] == (s["fps"] >= 60) and s["unseen_frame_ms"] > 0, s
    assert s["reference"]["frames"] == 4 and s["reference_ratio"] > 0, s
    assert s["reference"]["screens"] > 0.1 and s["reference"]["primitives"] >= 1, s
assert r["startup_ms"] >= 0
assert r["julia"]["scalar_ms"] > 0 and r["julia"]["fast_ms"] > 0
assert r["peak_rss_mb"] > 1
PY

"$BENCH" --dir "$run" --size 96x54 --frames 2 --julia 1 > "$WORK_DIR/table.txt" || fail "table run failed"
grep -q "scene 9 closing cube" "$WORK_DIR/table.txt" || fail "no scene 9 row: $(cat "$WORK_DIR/table.txt")"

# --scene times one scene only; the others are drawn but get no row.
"$BENCH" --dir "$run" --size 96x54 --frames 3 --julia 1 --scene 3 > "$WORK_DIR/one.txt" || fail "--scene run failed"
[ "$(grep -c '^scene ' "$WORK_DIR/one.txt")" = 1 ] && grep -q "^scene 3 particles" "$WORK_DIR/one.txt" \
    || fail "--scene 3 did not time scene 3 alone: $(cat "$WORK_DIR/one.txt")"

# --sizes: one report per size inside one JSON object, and the summary.
"$BENCH" --dir "$run" --sizes 64x36,96x54 --frames 2 --julia 1 --json > "$WORK_DIR/sweep.json" \
    || fail "--sizes failed"
python3 - "$WORK_DIR/sweep.json" <<'PY' || fail "bad sweep JSON: $(cat "$WORK_DIR/sweep.json")"
import json, sys
r = json.load(open(sys.argv[1]))
assert [s["size"] for s in r["sizes"]] == ["64x36", "96x54"], r
assert len(r["sizes"][1]["scenes"]) == 10 and "largest_size" in r, r
PY

set +e
"$BENCH" --frames 0 > /dev/null 2> "$WORK_DIR/err.txt"
code=$?
set -e
[ "$code" = 2 ] || fail "--frames 0 gave exit code $code"
grep -q "bad value for --frames" "$WORK_DIR/err.txt" || fail "no reason given: $(cat "$WORK_DIR/err.txt")"
# No data/ anywhere: refused, as demo refuses, instead of timing empty scenes.
mkdir "$WORK_DIR/nodata"
set +e
(cd "$WORK_DIR/nodata" && "$BENCH" --size 32x18 --frames 1 --julia 1 > out.txt 2> "$WORK_DIR/err.txt")
code=$?
set -e
[ "$code" = 1 ] || fail "no data: exit $code"
grep -q "no show data found" "$WORK_DIR/err.txt" || fail "no data: $(cat "$WORK_DIR/err.txt")"

# demo-sync: --help is no error; a bad --until is refused instead of being read as 0.
SYNC="$BUILD_DIR/tools/bench/demo-sync"
"$SYNC" --help | grep '^usage: demo-sync' > /dev/null || fail "demo-sync --help"
for bad in --until=abc "--until -1" --until; do
    set +e
    "$SYNC" $bad > /dev/null 2>&1
    code=$?
    set -e
    [ "$code" = 2 ] || fail "demo-sync $bad: exit $code"
done
echo "bench: ok"
