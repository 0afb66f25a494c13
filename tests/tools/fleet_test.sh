#!/usr/bin/env bash
# A deployment in small: setup.exe /S /LOG= started at once on 8 fresh machines (Wine
# prefixes), the way a software-distribution tool starts it on a few hundred. Every run
# must exit 0, and every log must name each file of the medium and the exit code.
#   fleet_test.sh BUILD_DIR [MACHINES]
set -euo pipefail
build=$(cd "$1" && pwd)
machines=${2:-8}
work=$build/fleet
rm -rf "$work"
mkdir -p "$work"
dos() { echo "Z:${1//\//\\}"; }

install_on() {
    local i=$1
    export WINEPREFIX=$work/machine$i WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wine wineboot -i >/dev/null 2>&1
    local code=0
    wine "$build/medium/setup.exe" /S "/LOG=$(dos "$work/setup$i.log")" >/dev/null 2>&1 || code=$?
    echo "$code" > "$work/code$i"
    wineserver -k 2>/dev/null || true
}

start=$(date +%s)
for i in $(seq 1 "$machines"); do
    install_on "$i" &
done
wait
echo "fleet: $machines machines in $(( $(date +%s) - start )) s"

# The target names of the medium's disk lines: the second field of "n=source, target, ...".
targets=$(sed -n '/^\[Disk[1-6]\]/,/^\[/{s/^[0-9]*=[^,]*,[[:space:]]*\([^,]*\),.*/\1/p}' "$build/medium/SETUP.INF" |
          tr -d '\r')
status=0
for i in $(seq 1 "$machines"); do
    log=$work/setup$i.log
    # wine passes on the exit code modulo 256: the log holds it whole.
    tr -d '\r' < "$work/setup$i.log" > "$work/plain$i.log" 2>/dev/null || true
    log=$work/plain$i.log
    if [ "$(cat "$work/code$i")" != 0 ] || ! grep -q "exit code 0$" "$log"; then
        echo "machine $i: exit code $(cat "$work/code$i"), log ends: $(tail -1 "$log" 2>/dev/null)"
        status=1
        continue
    fi
    for t in $targets; do
        grep -q "\\\\$t: installed" "$log" || { echo "machine $i: the log does not name $t as installed"; status=1; }
    done
done
[ $status = 0 ] && rm -rf "$work" && echo "fleet: every machine installed, every log complete"
exit $status
