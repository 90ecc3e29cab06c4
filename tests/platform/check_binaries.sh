#!/usr/bin/env bash
# Fails when a Windows binary imports a MinGW runtime DLL (libgcc, libstdc++, winpthread) or lacks
# the large-address-aware flag.
set -u
rc=0
for bin in "$@"; do
    dump=$(i686-w64-mingw32-objdump -p "$bin") || { echo "cannot read $bin"; rc=1; continue; }
    bad=$(grep -i 'DLL Name:' <<<"$dump" | grep -i -E 'libgcc|libstdc\+\+|winpthread')
    if [ -n "$bad" ]; then
        echo "$bin imports runtime DLLs: $bad"
        rc=1
    fi
    if ! grep -q -i 'large address aware' <<<"$dump"; then
        echo "$bin is not large-address-aware"
        rc=1
    fi
done
[ $rc = 0 ] && echo "checked: $*"
exit $rc
