#!/usr/bin/env bash
# Benchmark of the views beside the report: --summary, --calls, --stats, --format json, --kpi,
# --circuits, --checks and the export folder (--export-dir) against
# the plain report (truno-decode -q --crlf LOG > /dev/null) on generated logs, with the peak memory
# of each (flat from the smaller log to the larger one when memory is bounded by the open calls,
# not by the log). The machine's load average is printed first: the figures are best of five
# rounds on a machine that may be shared.
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

# One run: "WALL CPU PEAK" (seconds, seconds of user and system time, KiB). CPU time is given
# beside wall time because on a shared machine other work stretches the wall time.
once() {
  { /usr/bin/time -f "%e %U %S %M" "$@" > /dev/null; } 2>&1 | tail -1 | awk '{printf "%s %.2f %s\n", $1, $2 + $3, $4}'
}
# The smaller of two numbers.
least() { awk -v a="$1" -v b="$2" 'BEGIN{print (b == "" || a < b) ? a : b}'; }

views=("report" "--summary" "--calls" "--stats" "--format json" "--kpi" "--circuits" "--checks" "--export-dir")
argsOf() {
  case "$1" in
    report) echo "-q --crlf" ;;
    # The export beside the report (its rows compressed on a thread of libzstd's own).
    --export-dir) echo "-q --crlf --export-dir $work/export" ;;
    *) echo "-q $1" ;;
  esac
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo
echo "| messages | view | wall s | msg/s (wall) | share of the report's (wall) | CPU s | msg/s (CPU) | share of the report's (CPU) | peak MiB |"
echo "|---:|---|---:|---:|---:|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
  log="$work/$n.log"
  "$gen" "$n" > "$log"
  # Best of five rounds; each round runs every view once, in turn, so that a view and the report
  # meet the same state of a shared machine (whose speed drifts over minutes) rather than five
  # runs of one view meeting another state than five runs of the next.
  declare -A wall=() cpu=() mem=()
  for _ in 1 2 3 4 5; do
    for view in "${views[@]}"; do
      read -r -a args <<<"$(argsOf "$view")"
      read -r w c m < <(once "$tool" "${args[@]}" "$log")
      rm -rf "$work/export"
      wall[$view]=$(least "$w" "${wall[$view]:-}")
      cpu[$view]=$(least "$c" "${cpu[$view]:-}")
      [ "$m" -gt "${mem[$view]:-0}" ] && mem[$view]=$m
    done
  done
  for view in "${views[@]}"; do
    awk -v n="$n" -v v="$view" -v w="${wall[$view]}" -v c="${cpu[$view]}" -v rw="${wall[report]}" -v rc="${cpu[report]}" -v m="${mem[$view]}" 'BEGIN{
      if (w < 0.001) w = 0.001; if (c < 0.01) c = 0.01; if (rc < 0.01) rc = 0.01;
      printf "| %d | %s | %.3f | %.0f | %.2f | %.2f | %.0f | %.2f | %.1f |\n", n, v, w, n / w, rw / w, c, n / c, rc / c, m / 1024 }'
  done
  unset wall cpu mem
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
