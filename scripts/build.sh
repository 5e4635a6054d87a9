#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Tarvolk into build/ (warnings are errors).
# Usage: scripts/build.sh [target ...]   (no target builds everything, tests included)
set -euo pipefail
cd "$(dirname "$0")/.."
# The Debian package's compiler flags: scripts/check-package.sh then finds every object of the
# program in the compiler cache (paths are hashed relative to the tree, not the folder).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -S Timestamp)}" LC_ALL=C.UTF-8
flags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" -DTARVOLK_WERROR=ON >/dev/null
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build build -j "$(nproc)" "${targets[@]}"
