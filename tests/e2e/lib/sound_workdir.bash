# Sourced by the sound scripts with the build directory as $1: sets demo and fixture
# (absolute paths) and moves into a fresh working directory with an empty data/, removed
# on exit.
build=$(cd "$1" && pwd)
demo=$build/demo
fixture=$build/tests/sound_fixture
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir data
