#!/usr/bin/env bash
# Builds the Debian package build-deb/soltarek_<version>_<arch>.deb from this tree, with
# Debian's build flags and dependencies computed by dpkg-shlibdeps.
#   scripts/package.sh          build the package
#   scripts/package.sh --check  build it and check it (scripts/package-check.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  "" | --check) ;;
  *) echo "usage: scripts/package.sh [--check]" >&2; exit 2 ;;
esac
bash scripts/install-deps.sh package

build=build-deb
# A debhelper-like scratch tree: dpkg-shlibdeps and dpkg-gencontrol read debian/control
# and debian/changelog from the working directory and stage the package in debian/soltarek.
work=$build/package
root=$work/debian/soltarek
rm -rf "$work"
mkdir -p "$work/debian"
cp packaging/debian/control packaging/debian/changelog "$work/debian/"
# File dates in the package: the release's, so that rebuilds give the same package.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/debian/changelog -S Timestamp)
export SOURCE_DATE_EPOCH

# Debian's optimisation and hardening flags (CMake does not read CPPFLAGS by itself).
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr -DDEMO_TESTS=OFF \
  -DCMAKE_C_FLAGS="$CFLAGS $CPPFLAGS" -DCMAKE_CXX_FLAGS="$CXXFLAGS $CPPFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j2 --target demo demo-capture datagen_data soltarek_icons
DESTDIR="$PWD/$root" cmake --install "$build" >/dev/null

# What Debian wants beyond a plain install: stripped programs, compressed manual pages and
# changelog, the copyright file, modes that do not depend on the umask.
strip --remove-section=.comment --remove-section=.note "$root/usr/games/soltarek" \
  "$root/usr/bin/soltarek-capture"
gzip -9n "$root"/usr/share/man/man*/*
doc=$root/usr/share/doc/soltarek
install -d "$doc"
install -m 0644 packaging/debian/copyright "$doc/copyright"
gzip -9n < packaging/debian/changelog > "$doc/changelog.gz"
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/games/soltarek" "$root/usr/bin/soltarek-capture"

# Control data: dependencies from the libraries the programs link, size and version from
# the staged tree and the changelog, and the files' checksums.
(
  cd "$work"
  install -d -m 0755 debian/soltarek/DEBIAN
  dpkg-shlibdeps debian/soltarek/usr/games/soltarek debian/soltarek/usr/bin/soltarek-capture
  dpkg-gencontrol -psoltarek -Pdebian/soltarek
  cd debian/soltarek
  find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum > DEBIAN/md5sums
  chmod 0644 DEBIAN/control DEBIAN/md5sums
)
rm -f "$build"/soltarek_*.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$build" >/dev/null
deb=$(ls "$build"/soltarek_*.deb)
echo "package: $deb"

if [ "${1:-}" = --check ]; then
  bash scripts/package-check.sh "$deb"
fi
