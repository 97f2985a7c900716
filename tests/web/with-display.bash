#!/usr/bin/env bash
# with-display.bash COMMAND...: runs COMMAND with a private X display (Xvfb: headless Firefox
# has WebGL only with one) and a private PulseAudio server with a null sink (a sound output
# for the browsers), both stopped when COMMAND ends; exits with COMMAND's status.
set -euo pipefail
lib=$(cd "$(dirname "$0")/../e2e/lib" && pwd)
source "$lib/xvfb.bash"
source "$lib/pulse-server.bash"
work=$(mktemp -d)
trap 'pulse_stop "$work/pulse"; stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work/xvfb" 1280x800x24
# PulseAudio where it is installed, else a desktop's PipeWire.
SOUND_SERVER=pulseaudio
pulse_has_server || SOUND_SERVER=pipewire
pulse_start "$work/pulse"
"$@"
