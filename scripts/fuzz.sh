#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets into build-fuzz/ (clang) and runs each from its seeds in
# fuzz/corpus/, printing per target the executions, executions a second, coverage and any
# finding. The input behind a finding is kept in build-fuzz/findings/, each run's output in
# build-fuzz/logs/. Fails when any target found something.
#
# Usage: scripts/fuzz.sh [seconds]                 each target for seconds (default 30)
#        scripts/fuzz.sh --long [--jobs N] [minutes]
#                each target to 10 million executions or minutes (default 30), whichever comes
#                first; --jobs runs N targets at once (default 1: one core stays free)
# FUZZ_SEED=N repeats the same mutations.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(replyreader replyparser inifile mailinfo redirectrequest tokenanswer verdict markingrules
    wholemessage)

long=0
jobs=1
while [ $# -gt 0 ]; do
    case "$1" in
        --long) long=1 ;;
        --jobs) jobs="$2"; shift ;;
        *) limit="$1" ;;
    esac
    shift
done
if [ "$long" = 1 ]; then
    seconds=$((${limit:-30} * 60))
    runs=(-runs=10000000)
else
    seconds="${limit:-30}"
    runs=()
fi

bash scripts/deps.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVOLK_WERROR=ON -DTARVOLK_FUZZ=ON >/dev/null
build_targets=()
for target in "${targets[@]}"; do
    build_targets+=(--target "fuzz_$target")
done
cmake --build build-fuzz -j "$(nproc)" "${build_targets[@]}"

# Qt and ICU are built without frame pointers, so the fast unwinder records partly random frames
# above a Qt call: every allocation got a stack of its own, and ASan's stack store, which never
# shrinks, grew by about a kilobyte an execution. Two frames stay exact. A finding is run again
# below with whole, exactly unwound stacks.
export ASAN_OPTIONS="malloc_context_size=2${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
mkdir -p build-fuzz/findings build-fuzz/logs

# Runs one target; its exit status goes beside its log.
run_target() {
    local target="$1" log="build-fuzz/logs/$1.log"
    mkdir -p "$corpus/$target"
    # Lines handed out by the reply reader are cut at 4 KB: its inputs need room beyond that.
    local max_len=4096
    [ "$target" = replyreader ] && max_len=8192
    local status=0
    echo "fuzz_$target: running, output in $log"
    "build-fuzz/bin/fuzz_$target" "$corpus/$target" "fuzz/corpus/$target" "${runs[@]}" \
        -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -seed="${FUZZ_SEED:-0}" \
        -artifact_prefix="build-fuzz/findings/$target-" >"$log" 2>&1 || status=$?
    echo "$status" >"$log.status"
}

# One line per target from its log; the finding's input is run again with whole stacks.
report() {
    local target="$1" log="build-fuzz/logs/$1.log"
    local executions rate coverage
    executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
    coverage="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)"
    echo "fuzz_$target: ${executions:-?} executions, ${rate:-?} exec/s, ${coverage:-no coverage}"
    [ "$(cat "$log.status")" = 0 ] && return 0
    local input
    input="$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)"
    grep -m 1 -E 'ERROR|Broken|runtime error' "$log" >&2 || tail -n 5 "$log" >&2
    if [ -n "$input" ]; then
        ASAN_OPTIONS=fast_unwind_on_malloc=0:malloc_context_size=30 \
            "build-fuzz/bin/fuzz_$target" "$input" >"$log.finding" 2>&1 || true
        echo "fuzz_$target: finding $input, whole report in $log.finding" >&2
    else
        echo "fuzz_$target: failed, see $log" >&2
    fi
    return 1
}

for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    run_target "$target" &
done
wait

failed=0
for target in "${targets[@]}"; do
    report "$target" || failed=1
done
exit "$failed"
