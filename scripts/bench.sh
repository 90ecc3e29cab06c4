#!/usr/bin/env bash
# Builds and runs the benchmarks under bench/ at full size (the test run runs each once, small).
# Extra arguments go to every benchmark (for example: --benchmark_filter=Thumbnail, or --small for
# one quick run of each at a small size). Exits non-zero when any benchmark failed: it crashed,
# measured nothing, or missed a goal.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${VYX_BUILD_DIR:-$ROOT/build}
export VYX_BUILD_DIR=$BUILD_DIR

VYX_SETUP_COMMAND="./scripts/bench.sh" "$ROOT/scripts/setup.sh"
# shellcheck source=/dev/null
source "$BUILD_DIR/deps.env"
cmake -S "$ROOT" -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "${VYX_JOBS:-$(nproc)}" --target benchmarks

failed=()
for name in $(cat "$BUILD_DIR/bench/list.txt" | tr ';' ' '); do
    echo "== $name"
    "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bench/$name.exe" "$@" || failed+=("$name")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "benchmarks that failed: ${failed[*]}"
    exit 1
fi
