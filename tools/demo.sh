#!/usr/bin/env bash
# The demo: installs what is missing, builds, lays out the demo medium and runs the wizard
# on it under Wine, then reports where every file went and the registry entries written.
#
#   tools/demo.sh              with a display (DISPLAY set) you click through the wizard;
#                              without one a walkthrough clicks through it on an Xvfb of
#                              its own and saves screenshots of the way
#   tools/demo.sh --headless   the walkthrough even when there is a display
#
# Every run uses a fresh copy of a clean 32-bit prefix ($BUILD_DIR/demo-prefix) in which
# the medium is drive D:, as a disc would be, so a second run starts from scratch too.
# The screenshots land in $BUILD_DIR/demo-shots as PNG files.
set -euo pipefail
cd "$(dirname "$0")/.."
headless=0
case "${1:-}" in
--headless) headless=1 ;;
"") [ -n "${DISPLAY:-}" ] || headless=1 ;;
*) echo "usage: tools/demo.sh [--headless]" >&2; exit 2 ;;
esac

if [ -t 1 ]; then
    step() { printf '\n\033[1m==> %s\033[0m\n' "$*"; }
else
    step() { printf '\n==> %s\n' "$*"; }
fi

step "Building (the first run installs the packages it needs and takes a few minutes)"
tools/build.sh
BUILD_DIR=${BUILD_DIR:-build}
build=$(cd "$BUILD_DIR" && pwd)
[ -f "$build/setup.exe" ] && [ -f "$build/medium/SETUP.INF" ] && [ -f "$build/demoreport.exe" ] ||
    { echo "demo: the build left no setup.exe, medium or demoreport.exe" >&2; exit 1; }
if [ $headless = 1 ] && [ ! -f "$build/walkthrough.exe" ]; then
    echo "demo: no walkthrough.exe in this build, so nothing can click through the wizard" >&2
    exit 1
fi

step "Preparing a fresh Wine prefix with the medium as drive D:"
template=$build/demo-template # never run in: copied afresh for every demo
tools/wine-prefix.sh "$template"
prefix=$build/demo-prefix
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;wineboot.exe=d" # a restart request fails harmlessly
[ -d "$prefix" ] && wineserver -k 2>/dev/null || true
rm -rf "$prefix"
cp -a "$template" "$prefix"
ln -sfn "$build/medium" "$prefix/dosdevices/d:"

cleanup() {
    wineserver -k 2>/dev/null || true # ends every process of the demo prefix
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
status=0
if [ $headless = 1 ]; then
    . tools/xvfb.sh
    start_xvfb
    trap cleanup EXIT # start_xvfb set its own
    shots=$build/demo-shots
    rm -rf "$shots"
    mkdir -p "$shots"
    wineserver -p # one Wine server for the whole walk
    step "Walking the wizard on an Xvfb of its own (display $DISPLAY)"
    wine "$build/walkthrough.exe" 'D:' "$shots" || status=$?
    for bmp in "$shots"/*.bmp; do
        [ -e "$bmp" ] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
    done
else
    step "Running D:\\setup.exe: click through the wizard (Typical, then Next, Next, Finish)"
    wine 'D:\setup.exe' || true
    wineserver -w
    # Once more with the installed utility running, when someone is there to answer.
    run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
    utility=$(wine reg query "$run_key" /v ZaderUvori 2>/dev/null | tr -d '\r' |
              sed -n 's/^ *ZaderUvori *REG_SZ *//p' | tr -d '"') || true
    if [ -t 0 ] && [ -n "$utility" ]; then
        read -r -p "Start the installed utility as a logon would and run the wizard again? [y/N] " again
        if [ "$again" = y ]; then
            wine "$utility" &
            utility_pid=$!
            step "The utility \"ZaderUvori\" runs; the wizard asks it to close before installing"
            wine 'D:\setup.exe' || true
            if kill -0 "$utility_pid" 2>/dev/null; then
                echo "The utility is still running."
            else
                echo "The utility received the setup's close request and ended."
            fi
            wineserver -w
        fi
    fi
fi

step "What the installation left behind"
wine "$build/demoreport.exe" 'D:' | tr -d '\r' || status=1
if [ $headless = 1 ]; then
    step "Screenshots of the way, in $shots"
    ls "$shots"
fi
exit $status
