#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
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
id=de.tarvolk.tarvolk
for file in bin/tarvolk share/man/man1/tarvolk.1 share/man/de/man1/tarvolk.1 \
    share/applications/$id.desktop \
    share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg; do
    [ -f "$prefix/$file" ] || fail "$file not installed"
done
for size in 16 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$icon" ] || fail "no ${size}px icon"
    # A PNG's width and height are the big-endian numbers at bytes 16 to 23.
    [ "$(od --endian=big -An -tu4 -j16 -N8 "$icon" | xargs)" = "$size $size" ] ||
        fail "the ${size}px icon has another size"
done
# Both validators print only what they object to; the pedantic remarks count too.
report=$(desktop-file-validate "$share/applications/$id.desktop" 2>&1 || true)
[ -z "$report" ] || fail "desktop entry: $report"
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "icon name"
report=$(appstreamcli validate-tree --pedantic --no-net "$prefix" 2>&1 || true)
! grep -E '^ *[EWP]:' <<<"$report" || fail "metainfo or its desktop entry"
"$prefix/bin/tarvolk" --version | grep -q '^tarvolk ' || fail "the installed program does not run"
LANGUAGE=en "$prefix/bin/tarvolk" --help | grep -q '^Usage: ' || fail "the installed program has no English"
echo "installed and valid"
