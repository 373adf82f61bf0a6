#!/usr/bin/env bash
# Benchmark of the views beside the report: --summary, --calls, --stats, --format json, --kpi,
# --circuits, --checks, a filter (--where) and the export folder (--export-dir) against
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

# Best of five runs: "WALL CPU PEAK" (seconds, seconds of user and system time, KiB). CPU time
# is given beside wall time because on a shared machine other work stretches the wall time.
best() {
  local wall="" cpu="" mem=0
  for _ in 1 2 3 4 5; do
    local w c m
    read -r w c m < <({ /usr/bin/time -f "%e %U %S %M" "$@" > /dev/null; } 2>&1 | tail -1 |
                     awk '{printf "%s %.2f %s\n", $1, $2 + $3, $4}')
    if [ -z "$wall" ] || awk "BEGIN{exit !($w < $wall)}"; then wall=$w; fi
    if [ -z "$cpu" ] || awk "BEGIN{exit !($c < $cpu)}"; then cpu=$c; fi
    [ "$m" -gt "$mem" ] && mem=$m
  done
  echo "$wall $cpu $mem"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo
echo "| messages | view | wall s | msg/s (wall) | share of the report's (wall) | CPU s | msg/s (CPU) | share of the report's (CPU) | peak MiB |"
echo "|---:|---|---:|---:|---:|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
  log="$work/$n.log"
  "$gen" "$n" > "$log"
  report_wall=""
  report_cpu=""
  for view in "report" "--summary" "--calls" "--stats" "--format json" "--kpi" "--circuits" "--checks" "--where" "--export-dir"; do
    if [ "$view" = report ]; then
      args=(-q --crlf)
    elif [ "$view" = --where ]; then
      # A filter on a field: the report's records of the releases alone.
      args=(-q --crlf --where "type == REL")
    elif [ "$view" = --export-dir ]; then
      # The export beside the report (its rows compressed on a thread of libzstd's own).
      args=(-q --crlf --export-dir "$work/export")
    else
      read -r -a args <<<"-q $view"
    fi
    read -r wall cpu mem < <(best "$tool" "${args[@]}" "$log")
    [ -n "$report_wall" ] || { report_wall=$wall; report_cpu=$cpu; }
    rm -rf "$work/export"
    awk -v n="$n" -v v="$view" -v w="$wall" -v c="$cpu" -v rw="$report_wall" -v rc="$report_cpu" -v m="$mem" 'BEGIN{
      if (w < 0.001) w = 0.001; if (c < 0.01) c = 0.01; if (rc < 0.01) rc = 0.01;
      printf "| %d | %s | %.3f | %.0f | %.2f | %.2f | %.0f | %.2f | %.1f |\n", n, v, w, n / w, rw / w, c, n / c, rc / c, m / 1024 }'
  done
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
