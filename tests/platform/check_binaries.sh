#!/usr/bin/env bash
# Fails when a Windows binary imports a runtime or dependency DLL (libgcc, libstdc++, winpthread,
# zlib and the image libraries), has an empty import slot (cmake/ImportSlots.pl) or, 32-bit, lacks
# the large-address-aware flag (a 64-bit image has the whole space anyway). Plug-ins (*.spi) must also export the image plug-in entry points
# undecorated.
set -u
rc=0
for bin in "$@"; do
    dump=$("${VYX_OBJDUMP:-i686-w64-mingw32-objdump}" -p "$bin") || { echo "cannot read $bin"; rc=1; continue; }
    bad=$(grep -i 'DLL Name:' <<<"$dump" | grep -i -E 'libgcc|libstdc\+\+|winpthread|zlib|libpng|libjpeg|libtiff')
    if [ -n "$bad" ]; then
        echo "$bin imports runtime DLLs: $bad"
        rc=1
    fi
    if ! grep -q -i 'large address aware' <<<"$dump" && ! grep -q -E '^Magic[[:space:]]+020b' <<<"$dump"; then
        echo "$bin is not large-address-aware"
        rc=1
    fi
    if [[ "$bin" == *.spi ]]; then
        for entry in GetPluginInfo IsSupported GetPictureInfo GetPicture; do
            if ! grep -q -E "^[[:space:]]*\[[[:space:]]*[0-9]+\] $entry\$" <<<"$dump"; then
                echo "$bin does not export $entry undecorated"
                rc=1
            fi
        done
    fi
done
perl "$(dirname "${BASH_SOURCE[0]}")/../../cmake/ImportSlots.pl" "$@" || rc=1
[ $rc = 0 ] && echo "checked: $*"
exit $rc
