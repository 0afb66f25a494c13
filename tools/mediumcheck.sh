#!/usr/bin/env bash
# Runs the medium checker of the build under Wine: tools/mediumcheck.sh [--dest DIR]
# [--strict] MEDIUM (a Unix path is fine). Exit status as mediumcheck's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build
[ -f "$build/mediumcheck.exe" ] || { echo "no $build/mediumcheck.exe: run tools/build.sh" >&2; exit 2; }
[ -d "$build/wineprefix" ] || "$root/tools/wine-prefix.sh" "$build/wineprefix"
export WINEPREFIX=$build/wineprefix WINEARCH=win32 WINEDEBUG=-all
wine "$build/mediumcheck.exe" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
