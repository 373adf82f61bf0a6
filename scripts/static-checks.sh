#!/usr/bin/env bash
# Static checks: clang-tidy (checks in .clang-tidy, every finding an error) and cppcheck, over
# the project's sources. Needs the compile database of the default preset.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-layers.sh
[ -f build/default/compile_commands.json ] || cmake --preset default >/dev/null
mapfile -t sources < <(git ls-files 'base/*.cpp' 'parameters/*.cpp' 'dispatch/*.cpp' 'run/*.cpp' 'analysis/*.cpp' 'output/*.cpp' 'cli/*.cpp' 'bench/*.cpp' 'window/*.cpp')
echo "clang-tidy on ${#sources[@]} files"
printf '%s\n' "${sources[@]}" | xargs -P2 -n8 clang-tidy -p build/default --quiet > build/clang-tidy.log 2> /dev/null || true
if grep -E 'warning:|error:' build/clang-tidy.log; then
  echo "clang-tidy found problems (build/clang-tidy.log)"
  exit 1
fi
echo "cppcheck"
cppcheck --enable=warning,performance,portability --std=c++20 --inline-suppr --quiet --error-exitcode=1 \
  -I . base parameters dispatch run analysis output cli bench
echo "static checks clean"
