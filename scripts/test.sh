#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. An argument picks the preset (default, asan, tsan).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
cmake --workflow --preset "$preset"
