#!/bin/sh
# Usage: small-disk.sh mount|unmount DIR
# A 2 MB tmpfs at DIR for the full-disk test. A mount that cannot be made
# leaves DIR a plain folder: the test sees its size and skips, saying why.
set -u
action=$1
dir=$2
case "$action" in
mount)
    mkdir -p "$dir" || exit 1
    if ! mountpoint -q "$dir"; then
        mount -t tmpfs -o size=2m,mode=1777 tmpfs "$dir" 2>/dev/null ||
            echo "small-disk: no tmpfs mounted at $dir (needs root)"
    fi
    exit 0
    ;;
unmount)
    if mountpoint -q "$dir"; then
        umount "$dir" || exit 1
    fi
    rmdir "$dir" 2>/dev/null
    exit 0
    ;;
esac
echo "usage: small-disk.sh mount|unmount DIR" >&2
exit 2
