#!/usr/bin/env bash
# Sets up the machine, builds everything in build/ and runs all tests under Wine and Xvfb.
# Extra arguments go to ctest (for example: ./scripts/test.sh -L image).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${VYX_BUILD_DIR:-$ROOT/build}
export VYX_BUILD_DIR=$BUILD_DIR

VYX_SETUP_COMMAND="./scripts/test.sh" "$ROOT/scripts/setup.sh"
# shellcheck source=/dev/null
source "$BUILD_DIR/deps.env"
cmake -S "$ROOT" -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "${VYX_JOBS:-$(nproc)}"

"$ROOT/scripts/run-tests.sh" "$@"
