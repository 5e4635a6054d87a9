#!/usr/bin/env bash
# Usage: with-keyring.sh COMMAND [ARGUMENT...]
# Runs the command with a Secret Service of its own: a private session bus with an unlocked
# gnome-keyring on it, keeping its keyrings in a throw-away home, so that no test ever reaches the
# keyring of the user who runs it.
set -euo pipefail
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
# The daemon must not keep the test's output open once it has put itself in the background.
dbus-run-session -- bash -c \
    'printf pw | gnome-keyring-daemon --unlock --components=secrets >/dev/null 2>&1 && "$@"' \
    with-keyring "$@"
