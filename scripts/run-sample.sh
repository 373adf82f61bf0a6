#!/usr/bin/env bash
# Installs what building and running need (not the tests' tools: scripts/test.sh adds those),
# builds both programs (truno-decode and the window, truno-decoder) and decodes the bundled
# sample log with truno-decode. The report alone goes to standard output; the set-up and the
# build show their progress on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build >&2
cmake --preset default >&2
cmake --build --preset default --target truno-decode truno-decoder >&2
exec build/default/truno-decode examples/sample.log
