#!/usr/bin/env bash
# Starts Tarvolk on a virtual screen with a sample TARVOLK.INI and saves a picture of its window,
# to check by eye that no control sits on a frame's title or on another control.
# Usage: scripts/screenshot.sh [picture.png] [build folder] [TARVOLK.INI to use]
#   defaults: tarvolk-window.png, build, a sample with two accounts
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-tarvolk-window.png}")
build=${2:-build}
settings=${3:-}

if [ ! -x "$build/bin/tarvolk" ]; then
    echo "No program at $build/bin/tarvolk: build it first (scripts/build.sh)." >&2
    exit 1
fi

bash scripts/deps.sh screenshot

# The program reads its settings beside itself, so it runs from a folder of its own.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$build/bin/tarvolk" "$folder/"
if [ -n "$settings" ]; then
    cp "$settings" "$folder/TARVOLK.INI"
else
    printf '%s\n' '[Setup]' 'LineCount=10' 'Title1=Privat' 'Host1=192.0.2.10' 'Account1=user1' \
        'Title2=Verein' 'Host2=192.0.2.20' 'Account2=user2' >"$folder/TARVOLK.INI"
fi

cat >"$folder/capture.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
"$1/tarvolk" &
program=$!
trap 'kill "$program" 2>/dev/null || true' EXIT
# Wait (at most ten seconds) until the window is on the screen, then give it a moment to paint.
# import is only ever given a window that exists: asked for a missing one it waits for a click.
for _ in $(seq 100); do
    window=$(xwininfo -name "EMail Preview" 2>/dev/null | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p' || true)
    if [ -n "$window" ]; then
        sleep 1
        timeout 10 import -window "$window" "$2"
        exit 0
    fi
    sleep 0.1
done
echo "The window did not appear within ten seconds." >&2
exit 1
INNER
xvfb-run -a -s "-screen 0 1024x768x24" bash "$folder/capture.sh" "$folder" "$output"
echo "Saved $output"
