#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Opens Tarvolk on the demo mailbox (a throw-away dovecot on loopback), fetches it, previews a
# message, marks one and saves a picture of the window, to check by eye that every text shows
# whole and no control sits on a frame's title or on another control.
# Usage: scripts/screenshot.sh [picture.png] [--point-size N] [--dark]
#   default picture: tarvolk-window.png; --point-size sets the desktop font's size (usually 9),
#   --dark gives the desktop a dark colour scheme.
set -euo pipefail
cd "$(dirname "$0")/.."
output=tarvolk-window.png
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    output=$1
    shift
fi
output=$(realpath -m "$output")
bash scripts/deps.sh screenshot
bash scripts/build.sh tarvolk_screenshot
# The window is drawn off screen, so no display is needed.
QT_QPA_PLATFORM=offscreen TARVOLK_SOURCE_DIR="$PWD" timeout 120 \
    build/bin/tarvolk_screenshot "$output" "$@"
echo "Saved $output"
