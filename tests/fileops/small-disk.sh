#!/usr/bin/env bash
# Mounts (or unmounts) a 1 MB file system for the full-disk tests. Where mounting is not allowed
# the folder stays a plain one and the tests skip those cases, so this never fails.
#   small-disk.sh mount|unmount FOLDER
set -u
action=$1
folder=$2
case "$action" in
mount)
    mkdir -p "$folder"
    if ! mountpoint -q "$folder"; then
        mount -t tmpfs -o size=1m,mode=0777 vyx-small-disk "$folder" 2>/dev/null ||
            echo "small-disk: no mount here; the full-disk cases will skip"
    fi
    ;;
unmount)
    if mountpoint -q "$folder"; then
        umount "$folder" 2>/dev/null || umount -l "$folder" 2>/dev/null
    fi
    ;;
esac
exit 0
