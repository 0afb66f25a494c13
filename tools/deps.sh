#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when any is
# missing. Does nothing when all are present.
set -euo pipefail
packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 binutils-mingw-w64-i686 xvfb xauth
          mscompress xorriso googletest cmake ninja-build fonts-liberation fonts-wine imagemagick python3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}" >&2
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
