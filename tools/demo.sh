#!/usr/bin/env bash
# Builds the program and runs it on the bundled demo medium under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
BUILD_DIR=${BUILD_DIR:-build}
medium="$BUILD_DIR/medium"
[ -n "${DISPLAY:-}" ] || { . tools/xvfb.sh; start_xvfb; }
export WINEPREFIX=$(cd "$BUILD_DIR/wineprefix" && pwd) WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;wineboot.exe=d"
echo "running setup.exe on the demo medium in $medium"
wine "$medium/setup.exe"
wineserver -w
echo "setup.exe ended"
