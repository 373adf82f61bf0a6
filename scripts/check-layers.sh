#!/usr/bin/env bash
# Fails when an include points up the layers or sideways between the front ends. Each layer is a
# folder and a library; a file may include its own layer and the layers below it:
#   base < parameters < dispatch < run < analysis < output < (cli, window)
# cli and window never include each other. Within analysis and window, the folders are layers of
# their own:
#   analysis: facts < calls < (filters, health, journeys) < pipeline < store
#   window:   log < report < (views, io) < app
# filters, health and journeys, views and io never include each other. run/capture (the capture readers)
# stands apart within run: it includes only base and itself, so that it can be read and tested
# alone.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A rank=([base]=1 [parameters]=2 [dispatch]=3 [run]=4 [analysis]=5 [output]=6 [cli]=7 [window]=7)
declare -A analysisRank=([facts]=1 [calls]=2 [filters]=3 [health]=3 [journeys]=3 [pipeline]=4 [store]=5)
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
    if { [ "$layer" = window ] || [ "$layer" = analysis ]; } && [ "$target" = "$layer" ]; then
      declare -n ranks="${layer}Rank"
      from=$(cut -d/ -f2 <<<"$file")
      to=$(sed -E "s/.*#include \"$layer\\/([^/\"]+)\\/.*/\\1/" <<<"${hit#*:}")
      if [ -z "${ranks[$from]:-}" ] || [ -z "${ranks[$to]:-}" ]; then
        echo "$file:$line: $layer/$from or $layer/$to is not a known folder of $layer"
        status=1
      elif [ "$to" != "$from" ] && [ "${ranks[$to]}" -ge "${ranks[$from]}" ]; then
        echo "$file:$line: $layer/$from includes $layer/$to, which is not below it"
        status=1
      fi
      unset -n ranks
    fi
  done < <(grep -n -E '^\s*#\s*include "[^"]+/' "$file" || true)
done < <(git ls-files -- 'base/*' 'parameters/*' 'dispatch/*' 'run/*' 'analysis/*' 'output/*' 'cli/*' 'window/*' |
         grep -E '\.(h|cpp)$')
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
