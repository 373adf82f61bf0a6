#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need; does nothing when
# they are all there already. `scripts/setup.sh windows` installs those of the Windows cross
# build instead: the MinGW-w64 compiler (POSIX threads), zlib for MinGW, GoogleTest's sources
# (built for MinGW by the windows preset), the header-only JSON library, Wine to run the programs
# and tests, zip for the package.
set -euo pipefail
if [ "${1:-}" = windows ]; then
  packages=(g++-mingw-w64-x86-64-posix mingw-w64 libz-mingw-w64-dev googletest nlohmann-json3-dev
            wine64 cmake make zip python3)
else
  packages=(g++ cmake make libgtest-dev qt6-base-dev fonts-liberation xvfb xauth
            clang-14 libclang-rt-14-dev clang-tidy cppcheck dpkg-dev file zlib1g-dev
            nlohmann-json3-dev tshark python3 qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
            libre2-dev jq libzstd-dev zstd parallel prometheus-node-exporter prometheus)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# DuckDB's Node.js package and chDB (ClickHouse's engine, about 550 MB) for the export test, from
# the npm registry at the versions the lock file names (the Windows cross build does not run that
# test).
duckdb() {
  local folder
  folder="$(cd "$(dirname "$0")/.." && pwd)/tests/duckdb"
  if [ "${1:-}" != windows ] && { [ ! -d "$folder/node_modules/@duckdb/node-api" ] || [ ! -d "$folder/node_modules/chdb" ]; }; then
    # The machine's own Node.js and npm when it has them, else Debian's.
    if ! command -v npm > /dev/null; then
      local sudo=""
      if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
      $sudo apt-get update -qq >&2
      DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends nodejs npm >&2
    fi
    echo "Installing DuckDB's and chDB's Node.js packages into tests/duckdb" >&2
    npm ci --prefix "$folder" --no-audit --no-fund --loglevel=error >&2
  fi
}
if [ ${#missing[@]} -eq 0 ]; then
  duckdb "${1:-}"
  exit 0
fi
# Everything said here goes to standard error, so that a command that prints a report on
# standard output prints nothing else there.
exec 1>&2
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
duckdb "${1:-}"
