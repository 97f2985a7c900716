#!/usr/bin/env bash
# Under Xvfb with SDL's disk audio output: what a run ended with Escape after a few seconds
# wrote is the decoded soundtrack from its first sample on, then silence once the 2 s
# soundtrack is over (the show goes on without it).
set -euo pipefail
source "$(dirname "$0")/lib/sound_workdir.bash" "$1"
"$fixture" write data/music.mp3 2

cat > run.sh <<RUN
set -e
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw" "$demo" > demo.out 2> demo.err &
pid=\$!
xdotool search --sync --class demo >/dev/null
sleep 3
xdotool key Escape
wait \$pid
RUN
if ! timeout 120 xvfb-run -a -s "-screen 0 1920x1080x24" bash run.sh; then
    echo "FAIL: the run did not end cleanly"
    cat demo.out demo.err
    exit 1
fi
"$fixture" match out.raw data/music.mp3 2.5
