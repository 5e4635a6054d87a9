#!/usr/bin/env bash
# Configures and builds Tarvolk into build/ (warnings are errors).
# Usage: scripts/build.sh [target ...]   (no target builds everything, tests included)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVOLK_WERROR=ON >/dev/null
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build build -j "$(nproc)" "${targets[@]}"
