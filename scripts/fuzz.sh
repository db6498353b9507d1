#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each one for a bounded time.
#
#   scripts/fuzz.sh [seconds per target] [target...]
#
# Seconds default to 60 (FUZZ_SECONDS overrides); targets default to every
# *Fuzz.cpp under tests/fuzz. Each target starts from its committed seed
# corpus, tests/fuzz/corpus/<name>, and grows a working corpus under
# build-fuzz/corpus/<name> that later runs reuse. A crash leaves its input
# under build-fuzz/artifacts/ and fails the script; libFuzzer's closing line
# of figures (execs, coverage, corpus) is printed per target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${FUZZ_SECONDS:-60}}
shift || true
jobs=${FUZZ_JOBS:-3}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTT_WERROR=ON -DTT_FUZZ=ON -DTT_BUILD_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for src in tests/fuzz/*Fuzz.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

mkdir -p "$build/artifacts"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for target in "${targets[@]}"; do
    seeds="tests/fuzz/corpus/${target%Fuzz}"
    seeds="${seeds,,}"
    work="$build/corpus/$target"
    mkdir -p "$work"
    log="$build/$target.log"
    dict=()
    [ -f "tests/fuzz/$target.dict" ] && dict=(-dict="tests/fuzz/$target.dict")
    echo "== $target: ${seconds}s from $seeds"
    if ! "$build/tests/fuzz/$target" "$work" "$seeds" -max_total_time="$seconds" -timeout=60 \
            -rss_limit_mb=3072 -max_len=65536 -print_final_stats=1 "${dict[@]}" \
            -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$target FAILED; the input is under $build/artifacts/"
        exit 1
    fi
    grep -E '^#[0-9]+\s+DONE|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb|new_units_added)' "$log" || true
done
echo "Fuzzing passed."
