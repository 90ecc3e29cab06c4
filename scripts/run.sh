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

VYX_SETUP_COMMAND="./scripts/run.sh" "$ROOT/scripts/setup.sh"
# shellcheck source=/dev/null
source "$BUILD_DIR/deps.env"
cmake -S "$ROOT" -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "${VYX_JOBS:-$(nproc)}" --target Vyx

export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
EXE="$BUILD_DIR/bin/Vyx.exe"
SESSION=("$ROOT/scripts/wine-session.sh" "$BUILD_DIR/wineprefix")
ARGS=()
[ -n "$FOLDER" ] && ARGS+=("$(realpath "$FOLDER")")

if [ -n "${DISPLAY:-}" ]; then
    exec "${SESSION[@]}" bash -c 'exe=$1; shift; [ $# -gt 0 ] && set -- "$(winepath -w "$1" 2>/dev/null)"
        wine "$exe" "$@"' _ "$EXE" "${ARGS[@]}"
fi

# The program runs in Wine's virtual desktop on the session's display; afterwards only this run's
# processes are ended (the desktop process and what it started), never the session's others.
SHOT="$BUILD_DIR/screenshot.png"
"${SESSION[@]}" bash -c '
    shot=$1 wait=$2 exe=$3
    shift 3
    [ $# -gt 0 ] && set -- "$(winepath -w "$1" 2>/dev/null)"
    wine explorer /desktop=vyx,1024x768 "$exe" "$@" &
    desktop=$!
    sleep "$wait"
    import -window root "$shot"
    children=$(pgrep -P "$desktop")
    [ -n "$children" ] && kill $children 2>/dev/null
    kill "$desktop" 2>/dev/null
    wait "$desktop" 2>/dev/null
    exit 0' _ "$SHOT" "$WAIT" "$EXE" "${ARGS[@]}"
echo "screenshot: $SHOT"
