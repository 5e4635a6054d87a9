#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz/ (clang) and runs each for the given number of
# seconds, starting from a copy of its seed corpus in fuzz/corpus/. Fails on the first finding;
# the input that shows it is kept in build-fuzz/findings/, each run's output in build-fuzz/logs/.
# Usage: scripts/fuzz.sh [seconds]   (default 30); FUZZ_SEED=N repeats the same mutations.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
targets=(replyreader replyparser inifile mailinfo)

bash scripts/deps.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVOLK_WERROR=ON -DTARVOLK_TESTS=OFF -DTARVOLK_FUZZ=ON >/dev/null
build_targets=()
for target in "${targets[@]}"; do
    build_targets+=(--target "fuzz_$target")
done
cmake --build build-fuzz -j "$(nproc)" "${build_targets[@]}"

# Qt and ICU are built without frame pointers, so the fast unwinder records partly random frames
# above a Qt call: every allocation got a stack of its own, and ASan's stack store, which never
# shrinks, grew by about a kilobyte an execution. Two frames stay exact.
export ASAN_OPTIONS="malloc_context_size=2${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
mkdir -p build-fuzz/findings build-fuzz/logs
for target in "${targets[@]}"; do
    cp -r "fuzz/corpus/$target" "$corpus/$target"
    # Lines handed out by the reply reader are cut at 4 KB: its inputs need room beyond that.
    max_len=4096
    [ "$target" = replyreader ] && max_len=8192
    log="build-fuzz/logs/$target.log"
    if ! "build-fuzz/bin/fuzz_$target" "$corpus/$target" -max_total_time="$seconds" \
        -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -seed="${FUZZ_SEED:-0}" \
        -artifact_prefix="build-fuzz/findings/$target-" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$target: finding, see build-fuzz/findings/ and $log" >&2
        exit 1
    fi
    executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz_$target: $executions executions in $seconds s, no finding"
done
