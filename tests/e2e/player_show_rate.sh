#!/usr/bin/env bash
# ctest: run serial
# The player runs 120 show frames a second of show clock whatever the display does, and
# presents one per refresh: Xvfb refuses vsync, so the player sleeps to 60 Hz instead of
# drawing as fast as it can. A small window of the last picture scenes and the closing cube
# then takes a small share of one core (the uncapped loop takes all of it), while
# --show-rate=0 is the original's loop: one show frame per present, as many as it manages.
source "$(dirname "$0")/lib/common.bash"
export DEMO
run=$(make_run_dir show-rate)
cd "$run"

# stats.txt: the player's frame stats line; cpu.txt: its user and system CPU seconds.
SDL_AUDIODRIVER=no-such-driver under_xvfb '
    TIMEFORMAT="%U %S %R"
    { time "$DEMO" --mute --window=160x90 --start=72596 --frame-stats > out.txt 2> stats.txt; } 2> cpu.txt
    echo $? > code.txt
    "$DEMO" --mute --window=160x90 --start=88000 --frame-stats --show-rate=0 > out0.txt 2> stats0.txt
    echo $? > code0.txt' || true
[ "$(cat code.txt 2>/dev/null)" = 0 ] || fail "paced run: exit $(cat code.txt 2>/dev/null): $(cat out.txt stats.txt)"
[ "$(cat code0.txt 2>/dev/null)" = 0 ] || fail "--show-rate=0: exit $(cat code0.txt 2>/dev/null): $(cat out0.txt stats0.txt)"
python3 - stats.txt cpu.txt stats0.txt <<'PY' || fail "$(cat stats.txt cpu.txt stats0.txt)"
import re, sys
def stats(path):
    m = re.search(r"frame stats: (\d+) show frames from (\d+) to (\d+) ms \(([\d.]+) a second\), "
                  r"(\d+) presents \(([\d.]+) a second\)", open(path).read())
    assert m, open(path).read()
    return [float(v) for v in m.groups()]
frames, first, last, rate, presents, present_rate = stats(sys.argv[1])
user, system, wall = (float(v) for v in open(sys.argv[2]).read().split()[-3:])
share = (user + system) / wall
print("paced: %.1f show frames/s, %.1f presents/s, %.0f %% of a core" % (rate, present_rate, 100 * share))
assert 118 <= rate <= 122, rate
assert 30 <= present_rate <= 62, present_rate
assert share < 0.25, share
frames, first, last, rate, presents, present_rate = stats(sys.argv[3])
print("uncapped: %.1f show frames/s, %d presents" % (rate, presents))
assert presents == frames and rate > 125, (presents, frames, rate)
PY
echo "player show rate: ok"
