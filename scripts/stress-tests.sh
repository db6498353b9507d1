#!/usr/bin/env bash
# The Qt Test programs under load: each program of tests/platform and
# tests/ui is started COPIES times at once, ROUNDS times over, every copy on
# the offscreen platform in a home and config folder of its own; a copy that
# fails or outlives LIMIT seconds is counted and its log kept. A developer's
# check that the tests hold on a busy machine; CI does not run it.
#   scripts/stress-tests.sh [BUILD_DIR]
#   COPIES=12 ROUNDS=3 LIMIT=120 SOAK_ACTIONS=5000 (the soak's length per copy)
#   ONLY=regex (only the programs whose names match)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
copies=${COPIES:-12}
rounds=${ROUNDS:-3}
limit=${LIMIT:-120}
logs=$(mktemp -d)
homes=$(mktemp -d)
trap 'rm -rf "$homes"' EXIT

programs=()
for src in tests/platform/*Test.cpp tests/ui/*Test.cpp; do
    name=$(basename "$src" .cpp)
    [[ "$name" =~ ${ONLY:-.} ]] || continue
    dir=$(basename "$(dirname "$src")")
    [ -x "$build/tests/$dir/$name" ] || { echo "not built: $build/tests/$dir/$name"; exit 2; }
    programs+=("$build/tests/$dir/$name")
done

# Runs one copy; writes its exit code and seconds to $logs/<name>.<round>.<copy>.rc
one() {
    local program=$1 tag=$2 home="$homes/$2" start code
    mkdir -p "$home/config"
    start=$(date +%s%N)
    HOME="$home" XDG_CONFIG_HOME="$home/config" QT_QPA_PLATFORM=offscreen TT_SOAK_ACTIONS="${SOAK_ACTIONS:-5000}" \
        QTEST_FUNCTION_TIMEOUT=$(((limit - 10) * 1000)) \
        timeout --kill-after=10 "$limit" "$program" >"$logs/$tag.log" 2>&1
    code=$?
    echo "$code $((($(date +%s%N) - start) / 1000000))" >"$logs/$tag.rc"
    rm -rf "$home"
}

total_failed=0
total_hung=0
total_runs=0
printf '%-26s %5s %7s %5s %9s\n' program runs failed hung slowest
for program in "${programs[@]}"; do
    name=$(basename "$program")
    failed=0 hung=0 runs=0 slowest=0
    for round in $(seq "$rounds"); do
        for copy in $(seq "$copies"); do one "$program" "$name.$round.$copy" & done
        wait
        for copy in $(seq "$copies"); do
            tag="$name.$round.$copy"
            read -r code ms <"$logs/$tag.rc"
            runs=$((runs + 1))
            [ "$ms" -gt "$slowest" ] && slowest=$ms
            if [ "$code" -eq 124 ] || [ "$code" -eq 137 ]; then
                hung=$((hung + 1))
            elif [ "$code" -ne 0 ]; then
                failed=$((failed + 1))
            else
                rm -f "$logs/$tag.log"
            fi
            rm -f "$logs/$tag.rc"
        done
    done
    printf '%-26s %5d %7d %5d %7d ms\n' "$name" "$runs" "$failed" "$hung" "$slowest"
    total_runs=$((total_runs + runs)) total_failed=$((total_failed + failed)) total_hung=$((total_hung + hung))
done
echo "$total_runs runs: $total_failed failed, $total_hung out of time (logs of those in $logs)"
[ "$total_failed" -eq 0 ] && [ "$total_hung" -eq 0 ] && rm -rf "$logs"
[ "$total_failed" -eq 0 ] && [ "$total_hung" -eq 0 ]
