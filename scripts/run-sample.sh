#!/usr/bin/env bash
# Sets up, builds and decodes the bundled sample log: the report goes to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target truno-decode >/dev/null
exec build/default/truno-decode examples/sample.log
