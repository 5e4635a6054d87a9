#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tarvolk needs that are not installed yet; does nothing otherwise.
# Usage: scripts/deps.sh build|test|run|screenshot|fuzz|package  (each includes build)
set -euo pipefail

# QtKeychain loads libsecret only at run time and its package does not depend on it. GMime reads
# addresses, libpsl finds registrable domains in the list that publicsuffix installs. lupdate and
# lrelease (qt6-l10n-tools, with CMake's Qt6LinguistTools in qt6-tools-dev) build the English
# translation. dpkg-dev gives the Debian package's compiler flags, which every build uses.
packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-networkauth-dev qtkeychain-qt6-dev
          libsecret-1-0 libgmime-3.0-dev libpsl-dev publicsuffix qt6-l10n-tools qt6-tools-dev
          dpkg-dev)
case "${1:-build}" in
    # desktop-file-utils and appstream check the installed desktop entry and metainfo; the
    # keyring test runs gnome-keyring on a private bus (dbus-run-session) and reads it back with
    # secret-tool. The watching tests run dunst (read back with dunstctl, which calls dbus-send and
    # systemd's busctl) and trayer on an Xvfb display. With ccache the package check compiles
    # nothing the build for use has compiled already.
    test)
        packages+=(dovecot-core dovecot-pop3d openssl clang-format desktop-file-utils appstream
                   gnome-keyring libsecret-tools dbus-daemon dunst dbus-bin systemd trayer xvfb
                   ccache)
        ;;
    # Qt's German texts for standard buttons and menus.
    run) packages+=(dovecot-core dovecot-pop3d openssl qt6-translations-l10n) ;;
    # The picture shows the window on the demo mailbox, which a dovecot serves.
    screenshot) packages+=(dovecot-core dovecot-pop3d openssl) ;;
    # libclang-rt-14-dev holds libFuzzer and the sanitizer runtimes for clang 14.
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    # The Debian package needs no root to build (Rules-Requires-Root: no), so no fakeroot.
    package) packages+=(debhelper dpkg-dev lintian) ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
