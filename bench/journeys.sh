#!/usr/bin/env bash
# --journeys and --cdr against --calls over the four traces of truno-loggen --network: wall time
# and user + system time (the run with the least CPU time of RUNS) and peak memory of each. The
# views are run in turn, RUNS rounds, so that a drift of the machine's speed touches them alike.
#   bench/journeys.sh JOURNEYS [RUNS] [BUILD_DIR]
set -euo pipefail
journeys=${1:-100000}
runs=${2:-3}
build=${3:-build/default}
tool=$(realpath "$build/truno-decode")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/truno-loggen" --network "$journeys" 9 "$work"
cd "$work"
traces=(x-y.log y-x.log y-z.log z-y.log)
views=("--calls" "--journeys --network network" "--journeys --format json --network network" "--cdr --network network")
declare -A best wall memory
for _ in $(seq "$runs"); do
  for view in "${views[@]}"; do
    # shellcheck disable=SC2086
    /usr/bin/time -f "%e %U %S %M" -o time.txt "$tool" -q $view "${traces[@]}" > /dev/null 2>&1 || true
    read -r seconds user system kib < time.txt
    cpu=$(awk "BEGIN{print $user + $system}")
    if [ -z "${best[$view]:-}" ] || awk "BEGIN{exit !($cpu < ${best[$view]})}"; then
      best[$view]=$cpu; wall[$view]=$seconds; memory[$view]=$kib
    fi
  done
done
echo "| view | wall s | CPU s | CPU share of --calls | peak MiB |"
echo "|---|---:|---:|---:|---:|"
for view in "${views[@]}"; do
  share=$(awk "BEGIN{printf \"%.2f\", ${best[--calls]} / ${best[$view]}}")
  printf '| `%s` | %s | %s | %s | %d |\n' "$view" "${wall[$view]}" "${best[$view]}" "$share" $((memory[$view] / 1024))
done
