#!/usr/bin/env bash
# Sets up the machine, builds everything in build/ and runs all tests under Wine and Xvfb.
# Extra arguments go to ctest (for example: ./scripts/test.sh -L image).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${VYX_BUILD_DIR:-$ROOT/build}
export VYX_BUILD_DIR=$BUILD_DIR

"$ROOT/scripts/setup.sh"
# shellcheck source=/dev/null
source "$BUILD_DIR/deps.env"
cmake -S "$ROOT" -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "${VYX_JOBS:-$(nproc)}"

cd "$BUILD_DIR"
# One display and one wineserver serve the whole run; runs side by side in the same prefix share
# them, and the last one out ends them. Tests without windows (the robustness shards) run side by
# side; a folder's own tests run alone (VYX_TEST_JOBS sets how many at once).
"$ROOT/scripts/wine-session.sh" "$BUILD_DIR/wineprefix" ctest --output-on-failure -j "${VYX_TEST_JOBS:-$(nproc)}" "$@"
