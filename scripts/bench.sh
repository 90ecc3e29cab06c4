#!/usr/bin/env bash
# Builds and runs the benchmarks under bench/ (not part of the test run).
# Extra arguments go to every benchmark (for example: --benchmark_filter=Thumbnail).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${VYX_BUILD_DIR:-$ROOT/build}
export VYX_BUILD_DIR=$BUILD_DIR

"$ROOT/scripts/setup.sh"
# shellcheck source=/dev/null
source "$BUILD_DIR/deps.env"
cmake -S "$ROOT" -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "${VYX_JOBS:-$(nproc)}" --target benchmarks

for name in $(cat "$BUILD_DIR/bench/list.txt" | tr ';' ' '); do
    echo "== $name"
    "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bench/$name.exe" "$@"
done
