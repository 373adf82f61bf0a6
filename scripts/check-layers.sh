#!/usr/bin/env bash
# Fails when an include points up the layers or sideways between the front ends. Each layer is a
# folder and a library; a file may include its own layer and the layers below it:
#   base < parameters < dispatch < run < analysis < (cli, window)
# cli and window never include each other.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A rank=([base]=1 [parameters]=2 [dispatch]=3 [run]=4 [analysis]=5 [cli]=6 [window]=6)
status=0
while IFS= read -r file; do
  layer=${file%%/*}
  while IFS= read -r hit; do
    line=${hit%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${hit#*:}")
    [ -n "${rank[$target]:-}" ] || continue
    if [ "$target" != "$layer" ] && [ "${rank[$target]}" -ge "${rank[$layer]}" ]; then
      echo "$file:$line: $layer includes $target, which is not below it"
      status=1
    fi
  done < <(grep -n -E '^\s*#\s*include "[^"]+/' "$file" || true)
done < <(git ls-files -- 'base/*' 'parameters/*' 'dispatch/*' 'run/*' 'analysis/*' 'cli/*' 'window/*' |
         grep -E '\.(h|cpp)$')
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
