#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (source and binary) from this tree as it is, committed or not, lets
# lintian judge it and checks that it installs exactly the files `cmake --install` puts in place.
# Usage: scripts/check-package.sh [BUILD_DIR]
#   BUILD_DIR (default build/) must hold a built program; the package, its build log and
#   lintian's verdict end up in BUILD_DIR/package/.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
build=$(realpath "${1:-build}")
work=$build/package
source=$work/tarvolk

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

bash scripts/deps.sh package
version=$("$build/bin/tarvolk" --version | cut -d' ' -f2)
[ "$(dpkg-parsechangelog -S Version)" = "$version" ] || fail "debian/changelog is not at $version"
grep -q "<release version=\"$version\"" desktop/de.tarvolk.tarvolk.metainfo.xml ||
    fail "the metainfo has no release $version"

rm -rf "$work"
mkdir -p "$source"
git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do
        if [ -e "$file" ]; then printf '%s\0' "$file"; fi
    done | xargs -0 cp --parents -t "$source"

# debhelper gives the build a HOME of its own, so the compiler cache is named here; paths below
# the copy are hashed relative to it, so that a copy in another clone finds the same entries, and
# so do the objects of scripts/build.sh, which compiles with the package's flags.
if command -v ccache >/dev/null; then
    CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
    export CCACHE_DIR CCACHE_BASEDIR=$source CCACHE_NOHASHDIR=1
fi
(cd "$source" && TARVOLK_WERROR=1 dpkg-buildpackage -us -uc) >"$work/build.log" 2>&1 ||
    fail "dpkg-buildpackage (the end of $work/build.log):$(echo && tail -20 "$work/build.log")"
package=$work/tarvolk_${version}_$(dpkg-architecture -q DEB_HOST_ARCH).deb
lintian --fail-on error,warning "$work"/tarvolk_*.changes 2>&1 | tee "$work/lintian.log" ||
    fail "lintian objects to the package"

# The package adds its copyright and changelog and compresses the manual pages; otherwise the
# same files.
DESTDIR=$work/installed cmake --install "$build" --prefix /usr >/dev/null
dpkg-deb -x "$package" "$work/packaged"
files_in() {
    (cd "$1" && find . ! -type d | sed 's|^\.||' | sort)
}
diff <(files_in "$work/installed" | sed 's|^/usr/share/man/.*|&.gz|') \
    <(files_in "$work/packaged" | grep -v '^/usr/share/doc/tarvolk/') ||
    fail "the package and cmake --install put different files in place (< cmake, > package)"
rm -rf "$source" "$work/installed" "$work/packaged"
echo "$(basename "$package") built and checked in $((SECONDS - started)) s"
