#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tarvolk with the TARVOLK.INI beside build/bin/tarvolk.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tarvolk needs a graphical desktop: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
    exit 1
fi
exec build/bin/tarvolk
