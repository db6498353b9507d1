#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs them.
#
#   scripts/fuzz.sh replay [target...]
#       Runs each target once over every committed input: its seed corpus,
#       tests/fuzz/corpus/<name>, and every input that ever made it fail,
#       tests/fuzz/regressions/<name>. Nothing random: the test command's
#       step, with the same verdict on every run of a commit.
#
#   scripts/fuzz.sh [seconds per target] [target...]
#       Explores: each target mutates its inputs for the given time
#       (default 60, FUZZ_SECONDS overrides), growing a working corpus
#       under build-fuzz/corpus/<name> that later runs reuse. A failure
#       leaves its input under build-fuzz/artifacts/ and fails the script;
#       add that input to tests/fuzz/regressions/<name> with the fix.
#       libFuzzer's closing figures (execs, coverage, corpus) are printed
#       per target. Several of these may run at once, one per target.
#
# Targets default to every *Fuzz.cpp under tests/fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=explore
if [ "${1:-}" = replay ]; then
    mode=replay
    shift
else
    seconds=${1:-${FUZZ_SECONDS:-60}}
    shift || true
fi
jobs=${FUZZ_JOBS:-3}
build=build-fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for src in tests/fuzz/*Fuzz.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
# Concurrent runs share one build: the first to come builds, the others wait.
mkdir -p "$build"
(
    flock 9
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTT_WERROR=ON -DTT_FUZZ=ON -DTT_BUILD_BENCH=OFF >/dev/null
    cmake --build "$build" -j "$jobs" --target "${targets[@]}"
) 9>"$build/.build-lock"

mkdir -p "$build/artifacts"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
options=(-timeout=60 -rss_limit_mb=3072 -max_len=65536)
for target in "${targets[@]}"; do
    name="${target%Fuzz}"
    name="${name,,}"
    inputs=("tests/fuzz/corpus/$name")
    [ -d "tests/fuzz/regressions/$name" ] && inputs+=("tests/fuzz/regressions/$name")
    log="$build/$target.$mode.log"
    if [ "$mode" = replay ]; then
        mapfile -t files < <(find "${inputs[@]}" -type f | sort)
        echo "== $target: replaying ${#files[@]} inputs"
        if ! "$build/tests/fuzz/$target" "${options[@]}" "${files[@]}" >"$log" 2>&1; then
            tail -n 60 "$log"
            echo "$target FAILED on a committed input"
            exit 1
        fi
        continue
    fi
    work="$build/corpus/$target"
    mkdir -p "$work"
    dict=()
    [ -f "tests/fuzz/$target.dict" ] && dict=(-dict="tests/fuzz/$target.dict")
    echo "== $target: ${seconds}s from ${inputs[*]}"
    if ! "$build/tests/fuzz/$target" "$work" "${inputs[@]}" "${options[@]}" -max_total_time="$seconds" \
            -print_final_stats=1 "${dict[@]}" -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$target FAILED; the input is under $build/artifacts/"
        exit 1
    fi
    grep -E '^#[0-9]+\s+DONE|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb|new_units_added)' "$log" || true
done
echo "Fuzzing passed."
