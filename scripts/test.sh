#!/usr/bin/env bash
# Builds everything (installing what it needs) and runs every test: the
# engine, UI and end-to-end tests, then all of them again with the whole
# program built with AddressSanitizer and UndefinedBehaviorSanitizer, and
# each fuzz target over every committed input (its corpus and every input
# that ever made it fail). Nothing here is random: exploring new inputs is
# scripts/fuzz.sh's other mode, a developer's step.
# Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTT_WERROR=ON
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

# The whole program and every test again under the sanitizers. Only leaks
# of other libraries, listed with their reasons, are suppressed.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTT_WERROR=ON \
      -DTT_SANITIZE=ON -DTT_BUILD_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$PWD/tests/sanitizer/lsan.supp" \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

FUZZ_JOBS="$jobs" scripts/fuzz.sh replay
echo "All tests passed."
