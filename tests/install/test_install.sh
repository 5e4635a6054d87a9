#!/usr/bin/env bash
# Usage: test_install.sh BUILD_DIR  (the program must be built)
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
share=$prefix/share
for file in bin/tarvolk share/man/man1/tarvolk.1 share/applications/de.tarvolk.Tarvolk.desktop \
    share/metainfo/de.tarvolk.Tarvolk.metainfo.xml; do
    [ -f "$prefix/$file" ] || fail "$file not installed"
done
for size in 16 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x${size}/apps/tarvolk.png
    [ -f "$icon" ] || fail "no ${size}px icon"
    # A PNG's width and height are the big-endian numbers at bytes 16 to 23.
    [ "$(od --endian=big -An -tu4 -j16 -N8 "$icon" | xargs)" = "$size $size" ] ||
        fail "the ${size}px icon has another size"
done
desktop-file-validate "$share/applications/de.tarvolk.Tarvolk.desktop"
grep -qx 'Icon=tarvolk' "$share/applications/de.tarvolk.Tarvolk.desktop" || fail "icon name"
appstreamcli validate --no-net "$share/metainfo/de.tarvolk.Tarvolk.metainfo.xml" >/dev/null
"$prefix/bin/tarvolk" --version | grep -q '^tarvolk ' || fail "the installed program does not run"
echo "installed and valid"
