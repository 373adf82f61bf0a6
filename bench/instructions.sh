#!/usr/bin/env bash
# Instructions per message of the report and of each view, counted by callgrind on the fixed log
# of `truno-loggen 100000` (seed 1) with one thread (-j 1: what one core does). The counts do not
# depend on the machine's other work, so that a regression shows as a number.
# Usage: bench/instructions.sh [COMMIT]
#   COMMIT: also count the build of that commit (built in a worktree of its own under
#   build/instructions-COMMIT), in a column beside this tree's.
# Prints a Markdown table: instructions (millions) and per message, and each view's share of the
# report's messages per core (the report's instructions over the view's).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v valgrind >/dev/null || { echo "valgrind is needed (scripts/setup.sh installs it)" >&2; exit 1; }
messages=100000
cmake --preset default >/dev/null
cmake --build --preset default --target truno-decode truno-loggen >/dev/null
tools=("build/default/truno-decode")
names=("this tree")
if [ $# -ge 1 ]; then
  commit=$(git rev-parse --short "$1")
  tree="build/instructions-$commit"
  [ -d "$tree" ] || git worktree add --detach "$tree" "$commit" >/dev/null
  (cd "$tree" && cmake --preset default >/dev/null && cmake --build --preset default --target truno-decode >/dev/null)
  tools=("$tree/build/default/truno-decode" "${tools[@]}")
  names=("$commit" "${names[@]}")
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/default/bench/truno-loggen "$messages" > "$work/log"

views=("report:-q --crlf" "--summary:-q --summary" "--calls:-q --calls" "--stats:-q --stats" "--kpi:-q --kpi"
       "--circuits:-q --circuits" "--checks:-q --checks" "--format json:-q --format json"
       "--where:-q --where type==REL")
count() {  # TOOL ARGS... -> instructions
  valgrind --tool=callgrind --dump-instr=no --callgrind-out-file=/dev/null "$@" "$work/log" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

header="| view |"
rule="|---|"
for name in "${names[@]}"; do
  header+=" $name: M instructions | per message | share of the report's |"
  rule+="---:|---:|---:|"
done
echo "callgrind, truno-loggen $messages, -j 1"
echo
echo "$header"
echo "$rule"
declare -A report
for view in "${views[@]}"; do
  label=${view%%:*}
  read -r -a args <<<"${view#*:}"
  row="| \`$label\` |"
  for i in "${!tools[@]}"; do
    n=$(count "${tools[$i]}" -j 1 "${args[@]}")
    [ "$label" = report ] && report[$i]=$n
    row+=$(awk -v n="$n" -v m="$messages" -v r="${report[$i]}" \
      'BEGIN{printf " %.1f | %.0f | %.2f |", n / 1e6, n / m, r / n}')
  done
  echo "$row"
done
