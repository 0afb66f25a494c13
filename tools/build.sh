#!/usr/bin/env bash
# Installs what is missing, configures and builds into $BUILD_DIR (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
# Configured every time (a second or so): a build tree made before a folder with its own
# CMakeLists.txt appeared picks it up too.
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake >/dev/null
cmake --build "$BUILD_DIR"
tools/wine-prefix.sh "$BUILD_DIR/wineprefix"
