#!/bin/sh
# smalldrive.sh mount|unmount PREFIX DIR
# A small file system (600 KiB) at DIR, shown in the Wine prefix as drive Q:, for the
# free-space test of the Destination page. Where no file system can be mounted (not
# root, no tmpfs), drive Q: is left out and the test that needs it is skipped.
set -u
action=$1 prefix=$2 dir=$3
link="$prefix/dosdevices/q:"
case $action in
mount)
    mkdir -p "$dir" "$prefix/dosdevices"
    dir=$(cd "$dir" && pwd)
    if ! mountpoint -q "$dir"; then
        if ! mount -t tmpfs -o size=600k e2e-smalldrive "$dir" 2>/dev/null; then
            echo "no small drive: cannot mount a tmpfs at $dir; the free-space test is skipped"
            rm -f "$link"
            exit 0
        fi
    fi
    ln -sfn "$dir" "$link"
    echo "drive Q: is a 600 KiB tmpfs at $dir"
    ;;
unmount)
    rm -f "$link"
    if mountpoint -q "$dir"; then umount "$dir" || exit 1; fi
    rmdir "$dir" 2>/dev/null
    exit 0
    ;;
esac
