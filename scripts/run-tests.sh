#!/usr/bin/env bash
# Runs the built tests as the project's test run (scripts/test.sh after its build; CI through it):
# one Wine session for the whole run, every part of the test set-up required (VYX_FULL_SETUP=1: a
# test whose printer, small file system or the like is missing fails rather than skips), and a
# selection that names no test fails. Extra arguments go to ctest (for example: -L image).
#   VYX_BUILD_DIR   the build tree (default: <checkout>/build)
#   VYX_WINEPREFIX  the prefix whose session the run joins (default: <build tree>/wineprefix)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${VYX_BUILD_DIR:-$ROOT/build}
PREFIX=${VYX_WINEPREFIX:-$BUILD_DIR/wineprefix}

export VYX_FULL_SETUP=1
cd "$BUILD_DIR"
# One display and one wineserver serve the whole run; runs side by side in the same prefix share
# them, and the last one out ends them. Tests without windows (the robustness shards) run side by
# side; a folder's own tests run alone (VYX_TEST_JOBS sets how many at once).
exec "$ROOT/scripts/wine-session.sh" "$PREFIX" ctest --no-tests=error --output-on-failure \
    -j "${VYX_TEST_JOBS:-$(nproc)}" "$@"
