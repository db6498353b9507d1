#!/usr/bin/env bash
# Builds Tavelorn Tiles (installing what it needs) and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}"
# A folder of its own: the test command builds build/ with other options, so
# sharing it would rebuild everything each time one follows the other.
build=build-play
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTT_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target tavelorn-tiles
exec "./$build/ui/tavelorn-tiles"
