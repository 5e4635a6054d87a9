#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a text the user sees has no English: lupdate reads the sources into a copy of the
# translation file, where a new or changed text comes out unfinished and a tr() that lupdate
# cannot file under a context is reported.
# Usage: check_translations.sh LUPDATE SOURCE_DIR FOLDER...
set -euo pipefail
lupdate=$1
cd "$2"
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy=$work/tarvolk_en.ts
cp translations/tarvolk_en.ts "$copy"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
report=$("$lupdate" -I . -no-obsolete -locations none "$@" -ts "$copy" 2>&1)
warnings=$(grep -v -e '^Scanning directory' -e '^Updating' -e '^ *Found' -e 'obsolete entries' \
               <<<"$report" || true)
[ -z "$warnings" ] || fail "lupdate: $warnings"
untranslated=$(grep -B1 'type="unfinished"' "$copy" | grep -v -e 'unfinished' -e '^--' || true)
[ -z "$untranslated" ] || fail "no English for:
$untranslated"
diff -u translations/tarvolk_en.ts "$copy" >&2 ||
    fail "translations/tarvolk_en.ts is not up to date: build the target update_translations"
echo "every text has its English translation"
