#!/usr/bin/env bash
# Checks a built soltarek package (run by scripts/package.sh --check):
#  - lintian: no errors, and no warnings but the one named below;
#  - the desktop entry (desktop-file-validate) and the AppStream metainfo with the files it
#    refers to (appstreamcli validate-tree, offline);
#  - the manual pages list exactly the options that --help lists; the changelog, the
#    programs and the metainfo name the same version, and the metainfo the same date;
#  - installed with apt: the player started by its desktop entry's command from another
#    directory, muted in a window under Xvfb, runs the last 3 s of the show and ends by
#    itself; the recorder writes a frame from the installed data; --version and --help
#    name the installed programs; then the package is purged and leaves nothing behind.
# Usage: scripts/package-check.sh DEB. Needs root (or sudo) for the install.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath "$1")
fail() {
    echo "package check FAILED: $*" >&2
    exit 1
}
work=$(mktemp -d)
installed=false
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
cleanup() {
    if $installed; then
        $sudo apt-get -o DPkg::Lock::Timeout=900 purge -y -qq soltarek >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# The section is games, and the recorder, a plain command rather than a game, lives in
# /usr/bin: lintian's warning about that is expected. Anything else fails.
echo "== lintian"
status=0
lintian --fail-on error --display-info --pedantic "$deb" >"$work/lintian.txt" 2>"$work/lintian.err" || status=$?
cat "$work/lintian.txt"
[ "$status" -eq 0 ] || fail "lintian exit $status: $(grep -v 'root privileges' "$work/lintian.err")"
if grep -E '^(E|W): ' "$work/lintian.txt" | grep -v -E '^W: soltarek: package-section-games-but-has-usr-bin$'; then
    fail "lintian reports errors or unexpected warnings"
fi

echo "== desktop entry and AppStream metainfo"
tree=$work/tree
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree"/usr/share/applications/*.desktop
appstreamcli validate-tree --no-net "$tree"

echo "== manual pages against --help, versions"
options() { grep -o -E -- '--[a-z][a-z-]*' | grep -v -x -- '--option' | sort -u; }
for pair in games/soltarek:man6/soltarek.6.gz bin/soltarek-capture:man1/soltarek-capture.1.gz; do
    program=$tree/usr/${pair%%:*}
    page=$tree/usr/share/man/${pair#*:}
    diff <("$program" --help | options) <(MANWIDTH=200 man -l "$page" 2>/dev/null | options) ||
        fail "$(basename "$program"): --help and the manual page list different options (<: help, >: page)"
done
changelog_version=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
changelog_date=$(date -u -d "$(dpkg-parsechangelog -l packaging/debian/changelog -S Date)" +%F)
metainfo=$(echo "$tree"/usr/share/metainfo/*.metainfo.xml)
release=$(grep -m1 -o '<release version="[^"]*" date="[^"]*"' "$metainfo")
for program in games/soltarek bin/soltarek-capture; do
    version=$("$tree/usr/$program" --version | awk '{print $NF}')
    [ "$version" = "$changelog_version" ] ||
        fail "$program says version $version, the changelog $changelog_version"
done
[ "$release" = "<release version=\"$changelog_version\" date=\"$changelog_date\"" ] ||
    fail "metainfo's newest release ($release) is not the changelog's ($changelog_version, $changelog_date)"

echo "== install, run, remove"
if dpkg-query -W -f='${Status}' soltarek 2>/dev/null | grep -q "ok installed"; then
    fail "soltarek is installed already; remove it first (this check installs and purges it)"
fi
installed=true
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
    --no-install-recommends "$deb" >/dev/null
[ "$(/usr/games/soltarek --version)" = "soltarek (SOLTAREK ASKETRO) $changelog_version" ] ||
    fail "installed player: --version"
# The whole text is read before its first line is looked at: a reader that stops early
# would end a long --help with SIGPIPE.
/usr/games/soltarek --help | sed -n 1p | grep -q '^Usage: soltarek \[' || fail "installed player: --help"
[ "$(soltarek-capture --version)" = "soltarek-capture (SOLTAREK ASKETRO) $changelog_version" ] ||
    fail "installed recorder: --version"
soltarek-capture --help | sed -n 1p | grep -q '^Usage: soltarek-capture \[' ||
    fail "installed recorder: --help"
man -w 6 soltarek >/dev/null && man -w 1 soltarek-capture >/dev/null || fail "manual pages not found by man"

# The player as the desktop starts it, from a directory without data/.
command=$(sed -n 's/^Exec=//p' /usr/share/applications/*soltarek*.desktop)
mkdir -p "$work/elsewhere"
cd "$work/elsewhere"
start=$(date +%s%N)
# SOLTAREK_NO_DIALOG: a failed start must end with its line, not wait in a dialog.
SOLTAREK_NO_DIALOG=1 xvfb-run -a -s "-screen 0 1920x1080x24" \
    timeout 120 $command --window --mute --start=87596 >out.txt 2>&1 || fail "installed player: $(cat out.txt)"
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
# The last 3000 ms of the show, then the end by itself: a quicker exit did not play it.
[ "$elapsed_ms" -ge 2900 ] || fail "installed player ended after $elapsed_ms ms: $(cat out.txt)"
if grep -q 'Error' out.txt; then fail "installed player: $(cat out.txt)"; fi
echo "installed player ($command) played the last 3 s and ended by itself after $elapsed_ms ms"
timeout 120 soltarek-capture --start 90000 --at 90500 --png frames 2>/dev/null ||
    fail "installed recorder failed"
[ -s frames/frame-90500.png ] || fail "installed recorder wrote no frame"
cd - >/dev/null

$sudo apt-get -o DPkg::Lock::Timeout=900 purge -y -qq soltarek >/dev/null
installed=false
for path in /usr/games/soltarek /usr/bin/soltarek-capture /usr/share/soltarek /usr/share/doc/soltarek; do
    [ ! -e "$path" ] || fail "$path is left after purge"
done
echo "package check: ok ($(basename "$deb"))"
