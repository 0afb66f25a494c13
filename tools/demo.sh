#!/usr/bin/env bash
# The demo: installs what is missing, builds, lays out the demo medium and runs the wizard
# on it under Wine, then reports where every file went and the registry entries written.
# Last it removes the package again the way a user would, with the command of its entry
# among the installed programs, and reports that the prefix is back as it was before.
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

# What an installation can change: the files of drive C: (less Wine's own temporary and
# per-user files) and the registry keys the registration writes.
state() {
    (cd "$prefix/drive_c" && find . -path ./windows/temp -prune -o -path ./users -prune -o -print | sort)
    for key in 'HKCR\CLSID\{7D1C2A40-5E3B-11d1-9C4E-00A0C91F3B72}' \
               'HKLM\Software\Microsoft\Windows\CurrentVersion\Controls Folder\Mouse\shellex\PropertySheetHandlers' \
               'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' \
               'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZaderUvori'; do
        { wine reg query "$key" /s 2>/dev/null || true; } | tr -d '\r' | sed '/^$/d'
    done
}
pending_removals() { # the files and folders that go at the next restart, as Unix paths
    { wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
        2>/dev/null || true; } | tr -d '\r' | sed -n 's/.*REG_MULTI_SZ *//p' | sed 's/\\0/\n/g' |
        sed -n 's/^\\??\\[Cc]:\(.*\)/.\1/p' | tr '\\' / | tr 'A-Z' 'a-z' || true
}

cleanup() {
    wineserver -k 2>/dev/null || true # ends every process of the demo prefix
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
status=0
before=$build/demo-state-before.txt
state >"$before"
wineserver -w # the walk below starts a server of its own
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

step "Removing the package as a user would: the command of its Uninstall entry"
if [ $headless = 1 ]; then
    wine "$build/walkthrough.exe" --uninstall "$shots" || status=$?
    for bmp in "$shots"/*.bmp; do
        [ -e "$bmp" ] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
    done
else
    uninstall=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZaderUvori' \
                /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *//p' | tr -d '"') || true
    if [ -n "$uninstall" ]; then
        echo "Running $uninstall: answer Yes to remove the package"
        wine "$uninstall" || true
    fi
fi
state >"$build/demo-state-after.txt"
pending_removals >"$build/demo-pending.txt"
left=0
while IFS= read -r line; do
    lower=$(tr 'A-Z' 'a-z' <<<"$line")
    case "$line" in
    ./windows/system32/drivers/VWMOUSE.SYS | ./windows/system32/drivers/VWFILTER.SYS)
        echo "  kept on purpose: ${line#./}" ;;
    *) if grep -qxF "$lower" "$build/demo-pending.txt"; then
           echo "  goes at the next restart: ${line#./}"
       else
           echo "  left: $line"; left=1
       fi ;;
    esac
done < <(diff "$before" "$build/demo-state-after.txt" | sed -n 's/^> //p')
gone=$(diff "$before" "$build/demo-state-after.txt" | sed -n "s/^< //p" || true)
[ -z "$gone" ] || { echo "  missing since before the installation:"; echo "$gone" | sed 's/^/    /'; left=1; }
if [ $left = 0 ]; then
    echo "The prefix is back as it was before the installation (files of drive C: and the"
    echo "registration's registry keys), apart from what is listed above."
else
    echo "The prefix is NOT back as it was before the installation."
    [ $headless = 1 ] && status=1
fi
if [ $headless = 1 ]; then
    step "Screenshots of the way, in $shots"
    ls "$shots"
fi
exit $status
