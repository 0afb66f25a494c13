#!/usr/bin/env bash
# The start-up and install benchmark: setup.exe beside what the platform itself needs.
#
#   tools/bench.sh [--rounds N] [PAYLOAD...]   N rounds (default 5) of the payloads
#                                              (default: p200 p2000)
#   tools/bench.sh --smoke                     one round of the small payload, as CI runs it
#
# Builds (unless BENCH_NO_BUILD is set), generates the payloads and their media into
# $BUILD_DIR/bench-data (once: later runs reuse them), and runs the rounds under Wine in
# a prefix of their own ($BUILD_DIR/bench-prefix, the data as drive M:) on an Xvfb of
# their own. Prints every run, then the tables; the output is also kept in
# $BUILD_DIR/bench-last.txt. BENCH_SETUP=path/to/setup.exe measures that program instead
# of the build's (another build, for a before-and-after comparison).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=5
payloads=()
while [ $# -gt 0 ]; do
    case "$1" in
    --smoke) rounds=1; payloads=(smoke) ;;
    --rounds) rounds=${2:?--rounds needs a number}; shift ;;
    -*) echo "usage: tools/bench.sh [--smoke] [--rounds N] [PAYLOAD...]" >&2; exit 2 ;;
    *) payloads+=("$1") ;;
    esac
    shift
done
[ ${#payloads[@]} -gt 0 ] || payloads=(p200 p2000)

BUILD_DIR=${BUILD_DIR:-build}
[ -n "${BENCH_NO_BUILD:-}" ] || tools/build.sh
build=$(cd "$BUILD_DIR" && pwd)
setup=${BENCH_SETUP:-$build/setup.exe}
[ -f "$setup" ] || { echo "bench: no $setup" >&2; exit 1; }
for exe in bench/bench.exe bench/benchfloor.exe bench/benchnoop.exe; do
    [ -f "$build/$exe" ] || { echo "bench: no $build/$exe: build first" >&2; exit 1; }
done

data=$build/bench-data
python3 bench/payload.py "$data" "${payloads[@]}"
for p in "${payloads[@]}"; do
    for kind in plain packed; do
        cp "$setup" "$data/$p/$kind/setup.exe"
    done
done

prefix=$build/bench-prefix
tools/wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;wineboot.exe=d"
ln -sfn "$data" "$prefix/dosdevices/m:"
# The installations go to a tmpfs (drive T:), so that the writeback of a virtual disk
# does not swamp the difference measured; BENCH_DEST=disk puts them on C: instead.
dest='C:\BENCHOUT'
tmp=
if [ "${BENCH_DEST:-tmpfs}" != disk ] && [ -d /dev/shm ] && tmp=$(mktemp -d /dev/shm/wheelbench.XXXXXX); then
    ln -sfn "$tmp" "$prefix/dosdevices/t:"
    dest='T:\BENCHOUT'
fi

. tools/xvfb.sh
start_xvfb
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null || true
    [ -z "$tmp" ] || rm -rf "$tmp"
}
trap cleanup EXIT
wineserver -p # one Wine server for all the rounds

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
{
    echo "machine: $cpu, $(nproc) cores, $(($(sed -n 's/^MemTotal: *\([0-9]*\).*/\1/p' /proc/meminfo) / 1048576)) GiB;" \
         "Debian $(cat /etc/debian_version), $(wine --version), Xvfb ${XVFB_SCREEN:-1024x768x24};" \
         "installing to $dest${tmp:+ (tmpfs)}"
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $rounds rounds of ${payloads[*]}"
    echo
    status=0
    wine "$build/bench/bench.exe" --rounds "$rounds" --dest "$dest" 'M:' "${payloads[@]}" | tr -d '\r' || status=$?
    exit $status
} | tee "$build/bench-last.txt"
exit "${PIPESTATUS[0]}"
