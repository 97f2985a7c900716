#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build and run the show ("play"), also to test
# it ("test"), to build and check its Debian package ("package"), to build the web page
# ("web") or also to test it in headless Chromium and Firefox ("web-test"). Uses sudo when
# not run as root.
set -euo pipefail
kind=${1:-play}
packages=(build-essential cmake pkg-config
          libsdl2-dev libmpg123-dev libpulse-dev libmp3lame-dev libfreetype-dev libpng-dev libssl-dev fonts-dejavu-core
          libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0)
# x11-utils and xfonts-base (test): the start-up error dialog is found with xwininfo and
# needs the X core fonts under Xvfb.
case "$kind" in
  test) packages+=(libgtest-dev xvfb xauth xdotool ffmpeg clang libclang-rt-14-dev python3
                   libx11-dev valgrind gdb x11-utils xfonts-base) ;;
  package) packages+=(dpkg-dev lintian appstream desktop-file-utils man-db xvfb xauth) ;;
  web) packages+=(emscripten webp python3) ;;
  # The browsers play through a private sound server: PulseAudio, or a desktop's PipeWire,
  # which stays as it is (pulseaudio would replace its PulseAudio service).
  web-test) packages+=(emscripten webp python3 chromium firefox-esr xvfb xauth pulseaudio-utils)
            dpkg-query -W -f='${Status}' pipewire-pulse 2>/dev/null | grep -q "ok installed" ||
              packages+=(pulseaudio) ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
