#!/usr/bin/env bash
# Installs the Debian packages Tarvolk needs that are not installed yet; does nothing otherwise.
# Usage: scripts/deps.sh build|test|run|screenshot|fuzz  (each includes build)
set -euo pipefail

packages=(g++ cmake ninja-build qt6-base-dev)
case "${1:-build}" in
    test) packages+=(dovecot-core dovecot-pop3d openssl clang-format) ;;
    run) packages+=(dovecot-core dovecot-pop3d openssl) ;;
    # xvfb-run needs xauth; xwininfo (x11-utils) finds the window, ImageMagick's import takes it.
    screenshot) packages+=(xvfb xauth x11-utils imagemagick) ;;
    # libclang-rt-14-dev holds libFuzzer and the sanitizer runtimes for clang 14.
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
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
