#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the benchmarks (Release) into build-bench/ and runs them.
# Arguments go to bench_fetch, e.g. scripts/bench.sh --delay-ms 50. A benchmark reports figures;
# it fails only when it could not run or a fetch went wrong.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVOLK_BENCH=ON \
    -DTARVOLK_TESTS=ON >/dev/null
cmake --build build-bench --target bench_fetch bench_watch -j "$(nproc)"
TARVOLK_SOURCE_DIR="$PWD" timeout 600 build-bench/bin/bench_fetch "$@"
# Watching: ten accounts for ten quiet minutes (TARVOLK_WATCH_MINUTES=1 for a quick look), on a
# private session bus where the benchmark is the notification server.
TARVOLK_SOURCE_DIR="$PWD" timeout 1200 dbus-run-session -- build-bench/bin/bench_watch \
    --minutes "${TARVOLK_WATCH_MINUTES:-10}"
