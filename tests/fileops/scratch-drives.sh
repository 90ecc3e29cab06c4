#!/usr/bin/env bash
# The drives of the file-operation tests. A 1 MB file system for the full-disk cases, mounted where
# the machine lets the script mount one (elsewhere the folder stays plain and those cases fail in
# the project's test run, which needs them, and skip when the tests are run by hand),
# and drive R: of the Wine prefix over a scratch folder, a second drive letter for moves across
# drives. Never fails.
#   scratch-drives.sh setup|cleanup PREFIX SMALL_DISK_FOLDER SECOND_DRIVE_FOLDER
set -u
action=$1
prefix=$2
small=$3
second=$4
case "$action" in
setup)
    mkdir -p "$small" "$second" "$prefix/dosdevices"
    if ! mountpoint -q "$small"; then
        mount -t tmpfs -o size=1m,mode=0777 vyx-small-disk "$small" 2>/dev/null ||
            sudo -n mount -t tmpfs -o size=1m,mode=0777 vyx-small-disk "$small" 2>/dev/null ||
            echo "scratch-drives: no mount here; the full-disk cases cannot run"
    fi
    ln -sfn "$second" "$prefix/dosdevices/r:"
    ;;
cleanup)
    if mountpoint -q "$small"; then
        umount "$small" 2>/dev/null || umount -l "$small" 2>/dev/null || sudo -n umount -l "$small" 2>/dev/null
    fi
    rm -f "$prefix/dosdevices/r:"
    rm -rf "$second"
    ;;
esac
exit 0
