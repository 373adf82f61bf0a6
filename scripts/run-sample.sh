#!/usr/bin/env bash
# Sets up, builds both programs (truno-decode and the window, truno-decoder) and decodes the
# bundled sample log with truno-decode. The report alone goes to standard output;
# the set-up and the build show their progress on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2
cmake --preset default >&2
cmake --build --preset default --target truno-decode truno-decoder >&2
exec build/default/truno-decode examples/sample.log
