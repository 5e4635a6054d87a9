#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts Tarvolk, which reads the TARVOLK.INI beside
# build/bin/tarvolk or else ~/.config/tarvolk/TARVOLK.INI. With --demo it starts a throw-away
# mail server with a demo mailbox on loopback and opens Tarvolk on it instead.
set -euo pipefail
cd "$(dirname "$0")/.."
demo=false
case "${1:-}" in
    --demo) demo=true ;;
    "") ;;
    *) echo "usage: scripts/run.sh [--demo]" >&2; exit 2 ;;
esac

# Told before minutes of installing and building, not after.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tarvolk needs a graphical desktop: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
    exit 1
fi
bash scripts/deps.sh run
if $demo; then
    bash scripts/build.sh tarvolk tarvolk_demo
else
    bash scripts/build.sh tarvolk
fi
if $demo; then
    exec build/bin/tarvolk_demo build/bin/tarvolk
fi
exec build/bin/tarvolk
