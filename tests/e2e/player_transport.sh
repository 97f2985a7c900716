#!/usr/bin/env bash
# ctest: run serial
# The real demo's transport keys under Xvfb, with SDL's disk audio output and a 25 s test
# song: P holds the clock (Space prints one value twice, a second apart) and the picture, and
# the status line goes after 2 s; Right, Left, a digit, period and comma move the printed
# clock onto the show frames they name; the music written continues at the sample of the
# clock after a seek and after a resume. Then L loops the current scene and --loop-range a
# section given on the command line.
source "$(dirname "$0")/lib/common.bash"
export DEMO
fixture=$BUILD_DIR/tests/sound_fixture
work=$(make_run_dir transport)
cd "$work"
rm -f data/music.mp3
"$fixture" write data/music.mp3 25 || fail "cannot write the test song"

# Clock value of the show frame seen at MS (the first at or past it, 120 a second), and the
# one N frames from it.
frame_at() { echo $(( ( ($1 * 120 + 999) / 1000 + ${2:-0} ) * 1000 / 120 )); }

under_xvfb '
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="'"$work"'/out.raw" "$DEMO" --window=320x200 > out.txt 2> err.txt &
    pid=$!
    id=$(bash "$WAIT_WINDOW") || exit 1
    bash "$PRINT_CLOCK" $pid out.txt || exit 1                     # 1: running
    shot() {
        eval $(xdotool getwindowgeometry --shell "$id")
        ffmpeg -loglevel error -y -f x11grab -video_size 320x200 -i "$DISPLAY+$X,$Y" \
            -frames:v 1 -f rawvideo -pix_fmt rgb24 "$1"
    }
    bash "$KEY_AND_PRINT" $pid out.txt 1 || exit 1                 # 2: the start of scene 1
    sleep 1
    bash "$KEY_AND_PRINT" $pid out.txt p || exit 1                 # 3: paused
    shot paused-line.rgb
    sleep 1
    bash "$KEY_AND_PRINT" $pid out.txt || exit 1                   # 4: a second later
    sleep 2
    shot plain-a.rgb                                               # the status line has gone
    sleep 1
    shot plain-b.rgb
    bash "$KEY_AND_PRINT" $pid out.txt Right || exit 1             # 5: 5 s ahead
    bash "$KEY_AND_PRINT" $pid out.txt Left || exit 1              # 6: and back
    bash "$KEY_AND_PRINT" $pid out.txt period || exit 1            # 7: a frame ahead
    bash "$KEY_AND_PRINT" $pid out.txt comma comma || exit 1       # 8: two back
    bash "$KEY_AND_PRINT" $pid out.txt 2 || exit 1                 # 9: scene 2, paused
    bash "$KEY_AND_PRINT" $pid out.txt p || exit 1                 # 10: resumed there
    sleep 1.5
    xdotool key Escape
    wait_exit $pid 30 > code.txt' 120 || true
[ "$(cat code.txt 2>/dev/null)" = 0 ] || fail "the run did not end with 0: $(cat out.txt err.txt)"
mapfile -t c < out.txt
[ "${#c[@]}" = 10 ] || fail "expected 10 clock prints, got: ${c[*]}"
scene1=$(frame_at 18097)
[ "${c[1]}" -ge "$scene1" ] && [ "${c[1]}" -lt $((scene1 + 1000)) ] || fail "key 1: ${c[1]}, not just past $scene1"
[ "${c[3]}" = "${c[2]}" ] || fail "P did not hold the clock: ${c[2]} then ${c[3]}"
held=${c[2]}
[ "${c[4]}" = $((held + 5000)) ] || fail "Right from $held: ${c[4]}"
[ "${c[5]}" = "$held" ] || fail "Left back to $held: ${c[5]}"
[ "${c[6]}" = "$(frame_at "$held" 1)" ] || fail "period from $held: ${c[6]}"
[ "${c[7]}" = "$(frame_at "$held" -1)" ] || fail "two commas from ${c[6]}: ${c[7]}"
scene2=$(frame_at 24097)
[ "${c[8]}" = "$scene2" ] || fail "key 2 while paused: ${c[8]}, not $scene2"
[ "${c[9]}" -ge "$scene2" ] && [ "${c[9]}" -lt $((scene2 + 1000)) ] || fail "resumed at ${c[9]}, not from $scene2"
cmp -s plain-a.rgb plain-b.rgb || fail "the paused picture changed"
cmp -s paused-line.rgb plain-a.rgb && fail "no status line after P, or it did not go after 2 s"

# The music: from the start, then from scene 1's first frame (the key while playing), then,
# after the pause, from scene 2's (the resume at the held picture).
"$fixture" segments out.raw data/music.mp3 > segments.txt || fail "sound that is no part of the song: $(cat segments.txt)"
mapfile -t segments < <(awk '$1 == "segment" { print $2, $3 }' segments.txt)
[ "${#segments[@]}" = 3 ] || fail "expected three parts of the song, got: $(cat segments.txt)"
read -r from0 _ <<< "${segments[0]}"
read -r from1 _ <<< "${segments[1]}"
read -r from2 length2 <<< "${segments[2]}"
[ "$from0" -lt 4410 ] || fail "the music did not start at its start: $(cat segments.txt)"
[ "$from1" = $((scene1 * 441 / 10)) ] || fail "after the seek to $scene1: from frame $from1"
[ "$from2" = $((scene2 * 441 / 10)) ] || fail "after the resume at $scene2: from frame $from2"
[ "$length2" -gt 22050 ] || fail "the music after the resume lasted $length2 frames"

# L loops the scene it was pressed in (greetings, 72597..77596); --loop-range its section.
under_xvfb '
    "$DEMO" --window=320x200 --mute --start=75500 > loop.txt 2> err.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    bash "$KEY_AND_PRINT" $pid loop.txt l || exit 1
    sleep 3
    bash "$KEY_AND_PRINT" $pid loop.txt || exit 1
    xdotool key Escape
    wait_exit $pid 30 > code.txt
    "$DEMO" --window=320x200 --mute --loop-range=50000-51000 --frame-stats > range.txt 2> err.txt & pid=$!
    bash "$WAIT_WINDOW" > /dev/null || exit 1
    sleep 2.5
    bash "$PRINT_CLOCK" $pid range.txt || exit 1
    xdotool key Escape
    wait_exit $pid 30 >> code.txt' 120 || true
[ "$(cat code.txt 2>/dev/null)" = "0
0" ] || fail "the loop runs did not end with 0: $(cat err.txt)"
mapfile -t l < loop.txt
[ "${#l[@]}" = 2 ] && [ "${l[1]}" -ge 72597 ] && [ "${l[1]}" -le 77596 ] &&
    [ "${l[1]}" -lt $((${l[0]} + 2500)) ] || fail "L did not loop the scene: ${l[*]}"
r=$(tail -n 1 range.txt)
[ "$r" -ge 50000 ] && [ "$r" -le 51000 ] || fail "--loop-range=50000-51000: clock $r"
# The frame rate counts the show clock played, each loop once, not the span of first to last.
rate=$(sed -n 's/.*show frames from [0-9]* to [0-9]* ms (\([0-9.]*\) a second).*/\1/p' err.txt)
[ -n "$rate" ] && awk -v r="$rate" 'BEGIN { exit !(r >= 100 && r <= 130) }' ||
    fail "--frame-stats over a loop range: $(cat err.txt)"
echo "ok: clock ${c[*]}; music $(tr '\n' ' ' < segments.txt); loops ${l[*]} and $r"
