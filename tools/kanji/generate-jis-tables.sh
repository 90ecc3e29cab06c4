#!/usr/bin/env bash
# Regenerates foundation/kanji/JisTables.cpp from the platform's code pages under Wine.
# Needs a configured build tree (scripts/test.sh makes one) for its Wine prefix and wrapper.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_DIR=${VYX_BUILD_DIR:-$ROOT/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
i686-w64-mingw32-g++-posix -std=c++17 -O1 -Wall -Wextra -Werror -municode -static -I "$ROOT" \
    "$ROOT/tools/kanji/GenerateJisTables.cpp" -o "$work/GenerateJisTables.exe"
"$BUILD_DIR/wine-run.sh" "$work/GenerateJisTables.exe" "Z:${work//\//\\}\\JisTables.cpp"
cp "$work/JisTables.cpp" "$ROOT/foundation/kanji/JisTables.cpp"
echo "wrote foundation/kanji/JisTables.cpp"
