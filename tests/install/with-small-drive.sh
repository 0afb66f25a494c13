#!/bin/sh
# Runs a test program with a 64 KB RAM disk mapped as a Wine drive; the program finds the
# drive's letter in INSTALL_SMALL_DRIVE. Exits 77 (skipped) when it cannot mount.
# Usage: with-small-drive.sh WINE-RUN PROGRAM [ARGS...]
wine_run=$1
shift
prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$wine_run")
[ -n "$prefix" ] || { echo "no Wine prefix in $wine_run" >&2; exit 1; }
"$wine_run" cmd /c exit >/dev/null 2>&1 # makes the prefix when it is not there yet
letter=
for l in s t u v w x y; do
    if [ ! -e "$prefix/dosdevices/$l:" ] && [ ! -L "$prefix/dosdevices/$l:" ]; then letter=$l; break; fi
done
[ -n "$letter" ] || { echo "no free drive letter" >&2; exit 77; }
mnt=$(mktemp -d)
if ! mount -t tmpfs -o size=64k tmpfs "$mnt" 2>/dev/null; then
    rmdir "$mnt"
    echo "cannot mount a RAM disk here: skipped" >&2
    exit 77
fi
ln -s "$mnt" "$prefix/dosdevices/$letter:"
INSTALL_SMALL_DRIVE="$letter:" "$wine_run" "$@"
status=$?
rm -f "$prefix/dosdevices/$letter:"
{ umount "$mnt" 2>/dev/null || umount -l "$mnt"; } && rmdir "$mnt"
exit $status
