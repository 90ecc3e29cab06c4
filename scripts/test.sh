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
cmake --build "$BUILD_DIR" -j "$(nproc)"

cd "$BUILD_DIR"
# One display and one wineserver serve the whole run.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    export WINEPREFIX="$1/wineprefix"
    shift
    wineserver -p
    ctest --output-on-failure "$@"
    rc=$?
    wineserver -k
    exit $rc' _ "$BUILD_DIR" "$@"
