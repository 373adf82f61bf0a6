#!/usr/bin/env bash
# Fails when an include points up the layers or sideways between the front ends. Each layer is a
# folder and a library; a file may include its own layer and the layers below it:
#   base < parameters < dispatch < run < analysis < (cli, window)
# cli and window never include each other. Within window, the folders are layers of their own:
#   log < report < (views, io) < app
# views and io never include each other. run/capture (the capture readers) stands apart within run:
# it includes only base and itself, so that it can be read and tested alone.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A rank=([base]=1 [parameters]=2 [dispatch]=3 [run]=4 [analysis]=5 [cli]=6 [window]=6)
declare -A windowRank=([log]=1 [report]=2 [views]=3 [io]=3 [app]=4)
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
    if [[ "$file" == run/capture/* ]] && [ "$target" != base ] &&
       ! grep -q '#include "run/capture/' <<<"${hit#*:}"; then
      echo "$file:$line: run/capture includes only base and run/capture"
      status=1
    fi
    if [ "$layer" = window ] && [ "$target" = window ]; then
      from=$(cut -d/ -f2 <<<"$file")
      to=$(sed -E 's/.*#include "window\/([^/"]+)\/.*/\1/' <<<"${hit#*:}")
      if [ -z "${windowRank[$from]:-}" ] || [ -z "${windowRank[$to]:-}" ]; then
        echo "$file:$line: window/$from or window/$to is not a known folder of the window"
        status=1
      elif [ "$to" != "$from" ] && [ "${windowRank[$to]}" -ge "${windowRank[$from]}" ]; then
        echo "$file:$line: window/$from includes window/$to, which is not below it"
        status=1
      fi
    fi
  done < <(grep -n -E '^\s*#\s*include "[^"]+/' "$file" || true)
done < <(git ls-files -- 'base/*' 'parameters/*' 'dispatch/*' 'run/*' 'analysis/*' 'cli/*' 'window/*' |
         grep -E '\.(h|cpp)$')
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
