#!/usr/bin/env bash
# Installs the Debian packages the Windows cross build and its tests need: the MinGW-w64 compiler
# (POSIX threads), zlib for MinGW, GoogleTest's sources (built for MinGW by the windows preset),
# the header-only JSON library, Wine to run the programs and tests, zip for the package. Does
# nothing when they are all there already.
set -euo pipefail
packages=(g++-mingw-w64-x86-64-posix mingw-w64 libz-mingw-w64-dev googletest nlohmann-json3-dev
          wine64 cmake make zip python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
exec 1>&2
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
