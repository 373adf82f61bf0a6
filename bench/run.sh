#!/usr/bin/env bash
# Benchmark of truno-decode on generated logs of 10,000, 100,000 and 1,000,000 messages:
# wall time, messages per second and peak memory of the tool (one thread and --jobs 2), and
# the floor beside it: cat of the log and of the report to /dev/null.
# Usage: bench/run.sh [SIZES...]   (prints a Markdown table)
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000 1000000)
cmake --preset default >/dev/null
cmake --build --preset default --target truno-decode truno-loggen >/dev/null
tool=build/default/truno-decode
gen=build/default/bench/truno-loggen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Best of three wall times, in seconds, of a command line.
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

echo "| messages | log MB | report MB | decode s | msg/s | decode -j2 s | speed-up -j2 | peak MiB | cat log s | cat report s | decode / floor |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
  log="$work/$n.log"
  "$gen" "$n" > "$log"
  "$tool" -q --crlf "$log" > "$work/$n.report"
  t1=$(best "$tool" -q --crlf "$log")
  t2=$(best "$tool" -q --crlf -j 2 "$log")
  mem=$(peak "$tool" -q --crlf "$log")
  mem2=$(peak "$tool" -q --crlf -j 2 "$log")
  [ "$mem2" -gt "$mem" ] && mem=$mem2
  catlog=$(best cat "$log")
  catrep=$(best cat "$work/$n.report")
  awk -v n="$n" -v lb="$(stat -c %s "$log")" -v rb="$(stat -c %s "$work/$n.report")" -v t1="$t1" -v t2="$t2" \
      -v mem="$mem" -v cl="$catlog" -v cr="$catrep" 'BEGIN{
        floor = cl + cr; if (floor < 0.0001) floor = 0.0001;
        printf "| %d | %.1f | %.1f | %.3f | %.0f | %.3f | %.2f | %.1f | %.3f | %.3f | %.1f |\n",
          n, lb/1e6, rb/1e6, t1, (t1 > 0 ? n/t1 : 0), t2, (t2 > 0 ? t1/t2 : 0), mem/1024, cl, cr, t1/floor }'
  rm -f "$work/$n.report"
done
