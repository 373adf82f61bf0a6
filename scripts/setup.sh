#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need; does nothing when
# they are all there already.
#   scripts/setup.sh build    what building and running both programs need (scripts/run-sample.sh)
#   scripts/setup.sh          that and what the tests, static checks, fuzzing and the package need,
#                             with DuckDB's and chDB's Node.js packages (scripts/test.sh)
#   scripts/setup.sh windows  those of the Windows cross build instead: the MinGW-w64 compiler
#                             (POSIX threads), zlib for MinGW, GoogleTest's sources (built for MinGW
#                             by the windows preset), the header-only JSON library, Wine to run the
#                             programs and tests, zip for the package.
set -euo pipefail
what="${1:-test}"
build=(g++ cmake make zlib1g-dev nlohmann-json3-dev libre2-dev libzstd-dev
       qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev fonts-liberation)
case "$what" in
  build) packages=("${build[@]}") ;;
  test)
    packages=("${build[@]}" libgtest-dev python3 xvfb xauth clang-14 libclang-rt-14-dev clang-tidy cppcheck
              dpkg-dev file tshark jq zstd parallel prometheus-node-exporter prometheus) ;;
  windows)
    packages=(g++-mingw-w64-x86-64-posix mingw-w64 libz-mingw-w64-dev googletest nlohmann-json3-dev
              wine64 cmake make zip python3) ;;
  *) echo "usage: scripts/setup.sh [build|windows]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
# DuckDB's Node.js package and chDB (ClickHouse's engine, about 550 MB) for the export test, from
# the npm registry at the versions the lock file names (the tests only: neither the build nor
# the Windows cross build needs them).
node_packages() {
  local folder
  folder="$(cd "$(dirname "$0")/.." && pwd)/tests/duckdb"
  if [ -d "$folder/node_modules/@duckdb/node-api" ] && [ -d "$folder/node_modules/chdb" ]; then return; fi
  # The machine's own Node.js and npm when it has them, else Debian's.
  if ! command -v npm > /dev/null; then
    $SUDO apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends nodejs npm >&2
  fi
  echo "Installing DuckDB's and chDB's Node.js packages into tests/duckdb" >&2
  # `npm install` at the lock file's versions rather than `npm ci`: chDB's lock entries name only
  # the platform packages the registry served when it was written (Linux x64), and `npm ci`
  # refuses a lock file without every optional platform package of its dependencies.
  npm install --prefix "$folder" --no-save --no-audit --no-fund --loglevel=error >&2
}
if [ ${#missing[@]} -ne 0 ]; then
  # Everything said here goes to standard error, so that a command that prints a report on
  # standard output prints nothing else there.
  echo "Installing: ${missing[*]}" >&2
  $SUDO apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
if [ "$what" = test ]; then node_packages; fi
