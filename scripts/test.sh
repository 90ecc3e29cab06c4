#!/usr/bin/env bash
# Sets up the machine, builds everything in build/ and runs all tests under Wine and Xvfb (on a
# machine that runs no 32-bit code, those of the 64-bit twin; see scripts/setup.sh).
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
if [ "${VYX_ARCH:-i686}" = x86_64 ] && [ "${VYX_BUILD_I686:-0}" = 1 ] && [ -f "$BUILD_DIR/i686/deps.env" ]; then
    # The tests run on the 64-bit twin here; VYX_BUILD_I686=1 also builds the 32-bit program users
    # get (its link checks its import slots), which the test run's time cannot spare by default.
    echo "building the 32-bit Vyx.exe, which this machine cannot run, in $BUILD_DIR/i686"
    (
        # shellcheck source=/dev/null
        source "$BUILD_DIR/i686/deps.env"
        cmake -S "$ROOT" -B "$BUILD_DIR/i686" >/dev/null
        cmake --build "$BUILD_DIR/i686" -j "${VYX_JOBS:-$(nproc)}" --target Vyx
    )
fi

"$ROOT/scripts/run-tests.sh" "$@"
