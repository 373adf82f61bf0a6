#!/usr/bin/env bash
# Benchmark of the views beside the report: --summary, --calls, --stats and --format json against
# the plain report (truno-decode -q --crlf LOG > /dev/null) on generated logs, with the peak memory
# of each (flat from the smaller log to the larger one when memory is bounded by the open calls,
# not by the log). The machine's load average is printed first: the figures are best of three
# wall times on a machine that may be shared.
# Usage: bench/views.sh [SIZES...]   (default 100000 1000000; prints a Markdown table)
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000)
cmake --preset default >/dev/null
cmake --build --preset default --target truno-decode truno-loggen >/dev/null
tool=build/default/truno-decode
gen=build/default/bench/truno-loggen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

best() {
  local best=""
  for _ in 1 2 3; do
    local t0 t1 t
    t0=$(date +%s%N)
    "$@" > /dev/null
    t1=$(date +%s%N)
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.4f", (b - a) / 1e9}')
    if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
  done
  echo "$best"
}
peak() { { /usr/bin/time -f "%M" "$@" > /dev/null; } 2>&1 | tail -1; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo
echo "| messages | view | s | msg/s | share of the report's msg/s | peak MiB |"
echo "|---:|---|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
  log="$work/$n.log"
  "$gen" "$n" > "$log"
  report=""
  for view in "report" "--summary" "--calls" "--stats" "--format json"; do
    if [ "$view" = report ]; then args=(-q --crlf); else read -r -a args <<<"-q $view"; fi
    t=$(best "$tool" "${args[@]}" "$log")
    [ -n "$report" ] || report=$t
    mem=$(peak "$tool" "${args[@]}" "$log")
    awk -v n="$n" -v v="$view" -v t="$t" -v r="$report" -v m="$mem" 'BEGIN{
      printf "| %d | %s | %.3f | %.0f | %.2f | %.1f |\n", n, v, t, n / t, r / t, m / 1024 }'
  done
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
