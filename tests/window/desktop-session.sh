#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: desktop-session.sh notifications|xembed COMMAND [ARGUMENT...]
# Runs the command on a desktop of its own, in a throw-away home: an Xvfb display and a private
# session bus with dunst as the notification server (reading markup, as most desktops' servers
# do). With "xembed" trayer runs on the display as an XEmbed tray. The test waits for them itself.
set -euo pipefail
mode=$1
shift
home=$(mktemp -d)
export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP
printf '[global]\n    markup = full\n' >"$home/dunstrc"
# Xvfb names the display it took once it is ready to take clients.
mkfifo "$home/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$home/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb"; rm -rf "$home"' EXIT
read -r display <"$home/display"
export DISPLAY=:$display QT_QPA_PLATFORM=xcb TARVOLK_TEST_TRAY=$mode
tray=true
[ "$mode" = xembed ] && tray='trayer --edge bottom'
# The servers end with the session bus; their output would only clutter the test's.
dbus-run-session -- bash -c \
    'dunst -config "$HOME/dunstrc" >/dev/null 2>&1 & '"$tray"' >/dev/null 2>&1 & "$@"' \
    desktop-session "$@"
