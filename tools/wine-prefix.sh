#!/usr/bin/env bash
# Creates a 32-bit Wine prefix set up for running and testing the wizard: no window
# manager waits, no crash dialog, Arial and Times New Roman measured as on Windows, and
# the classic grey NT 4.0 colour scheme, and the symbol font that draws the caption
# buttons. Does nothing when the prefix already has this
# version of the settings.
set -euo pipefail
prefix=$1
version=3
[ "$(cat "$prefix/.setup-ready" 2>/dev/null)" = "$version" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd) WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
[ -f "$prefix/system.reg" ] || wine wineboot -i >/dev/null 2>&1
reg() { wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans'
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /d 'Liberation Serif'
colors='HKCU\Control Panel\Colors'
for pair in 'ButtonFace=192 192 192' 'Menu=192 192 192' 'ButtonLight=223 223 223' \
            'ButtonShadow=128 128 128' 'ButtonHilight=255 255 255' 'ButtonDkShadow=0 0 0' \
            'Window=255 255 255' 'WindowText=0 0 0' 'ButtonText=0 0 0' 'MenuText=0 0 0' \
            'ActiveTitle=0 0 128' 'InactiveTitle=128 128 128' 'TitleText=255 255 255' \
            'InactiveTitleText=192 192 192' 'Hilight=0 0 128' 'HilightText=255 255 255' \
            'GrayText=128 128 128' 'Background=0 128 128' \
            'GradientActiveTitle=0 0 128' 'GradientInactiveTitle=128 128 128'; do
    reg "$colors" /v "${pair%%=*}" /d "${pair#*=}"
done
# Wine draws the caption buttons with Marlett, which Debian ships apart (fonts-wine) and
# a prefix does not pick up by itself.
[ -f /usr/share/wine/fonts/marlett.ttf ] &&
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
wineserver -w
echo "$version" > "$prefix/.setup-ready"
