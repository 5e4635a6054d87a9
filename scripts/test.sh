#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: once as built for use, then
# each reader of untrusted input under libFuzzer, and the tests of the readers, the settings and
# the mailbox once more under the address and undefined-behaviour sanitizers.
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
# Each reader of untrusted input under libFuzzer for about 20 s, with the same mutations every
# time, so that a run passes or fails by the code, not by chance; longer runs go by hand.
FUZZ_SEED=1 bash scripts/fuzz.sh 20

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVOLK_WERROR=ON \
    -DTARVOLK_SANITIZE=ON >/dev/null
# This build configures only the tests worth running again, and builds just those.
cmake --build build-sanitize -j "$(nproc)" --target tarvolk_tests
# Qt keeps some allocations until exit on purpose; leaks are not what this run looks for.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
    ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)"
