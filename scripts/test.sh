#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test headless: once as built for use, then the
# tests of the readers, the settings and the mailbox once more under the address and
# undefined-behaviour sanitizers, and each reader of untrusted input under libFuzzer.
# Usage: scripts/test.sh [--quick]   (--quick: the build for use and its tests only)
set -euo pipefail
cd "$(dirname "$0")/.."
quick=false
case "${1:-}" in
    --quick) quick=true ;;
    "") ;;
    *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
bash scripts/deps.sh test
bash scripts/check-format.sh
bash scripts/build.sh
if $quick; then
    exec env QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"
fi
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"
# The Debian package: built from the same objects (compiler cache), judged by lintian, and
# compared with what cmake --install puts in place.
bash scripts/check-package.sh

# The fuzz build has the address and undefined-behaviour sanitizers: the same libraries serve the
# tests worth repeating under them and the fuzz targets, so they are compiled once for both.
bash scripts/deps.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVOLK_WERROR=ON -DTARVOLK_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target tarvolk_tests
# Qt keeps some allocations until exit on purpose; leaks are not what this run looks for.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
    ctest --test-dir build-fuzz --output-on-failure -j "$(nproc)"
# Each reader of untrusted input under libFuzzer for about 10 s, with the same mutations every
# time, so that a run passes or fails by the code, not by chance; longer runs go by hand.
FUZZ_SEED=1 bash scripts/fuzz.sh --jobs "$(nproc)" 10
