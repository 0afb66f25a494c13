#!/usr/bin/env bash
# Creates a 32-bit Wine prefix set up for running and testing the wizard: no window
# manager waits, no crash dialog, Arial and Times New Roman measured as on Windows.
# Does nothing when the prefix is already there.
set -euo pipefail
prefix=$1
[ -f "$prefix/.setup-ready" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd) WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wine wineboot -i >/dev/null 2>&1
reg() { wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans'
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /d 'Liberation Serif'
wineserver -w
touch "$prefix/.setup-ready"
