#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it under Wine, on the folder when one is given.
# Without a display it runs inside Wine's virtual desktop under Xvfb, saves a screenshot to
# build/screenshot.png after a while and ends the program.
#
#   ./scripts/run.sh [--wait SECONDS] [folder]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${VYX_BUILD_DIR:-$ROOT/build}
export VYX_BUILD_DIR=$BUILD_DIR
WAIT=5
if [ "${1:-}" = "--wait" ]; then
    WAIT=$2
    shift 2
fi
FOLDER=${1:-}

"$ROOT/scripts/setup.sh"
# shellcheck source=/dev/null
source "$BUILD_DIR/deps.env"
cmake -S "$ROOT" -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" --target Vyx

export WINEPREFIX="$BUILD_DIR/wineprefix" WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
ARGS=()
[ -n "$FOLDER" ] && ARGS+=("$(winepath -w "$(realpath "$FOLDER")" 2>/dev/null)")
EXE="$BUILD_DIR/bin/Vyx.exe"

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$EXE" "${ARGS[@]}"
fi

SHOT="$BUILD_DIR/screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    shot=$1 wait=$2 exe=$3
    shift 3
    wine explorer /desktop=vyx,1024x768 "$exe" "$@" &
    sleep "$wait"
    import -window root "$shot"
    wineserver -k
    wait' _ "$SHOT" "$WAIT" "$EXE" "${ARGS[@]}"
echo "screenshot: $SHOT"
