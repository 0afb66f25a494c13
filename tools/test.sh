#!/usr/bin/env bash
# Builds everything and runs every test under Wine, on an Xvfb of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
BUILD_DIR=${BUILD_DIR:-build}
. tools/xvfb.sh
start_xvfb
export WINEPREFIX=$(cd "$BUILD_DIR/wineprefix" && pwd) WINEARCH=win32
wineserver -p 2>/dev/null || true   # keep one Wine server for the whole run
status=0
ctest --test-dir "$BUILD_DIR" --output-on-failure "$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
