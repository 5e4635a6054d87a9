#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: private-session.sh keyring|nobus COMMAND [ARGUMENT...]
# Runs the command in a throw-away home and runtime folder, so that it never reaches the session
# bus or the keyring of the user who runs the tests. With "keyring" it gets a Secret Service of
# its own: a private session bus with an unlocked gnome-keyring on it; with "nobus" there is no
# session bus at all.
set -euo pipefail
mode=$1
shift
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS DISPLAY WAYLAND_DISPLAY
if [ "$mode" = nobus ]; then
    "$@"
    exit
fi
# The daemon must not keep the test's output open once it has put itself in the background.
dbus-run-session -- bash -c \
    'printf pw | gnome-keyring-daemon --unlock --components=secrets >/dev/null 2>&1 && "$@"' \
    private-session "$@"
