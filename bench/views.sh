#!/usr/bin/env bash
# Benchmark of the views beside the report: --summary, --calls, --stats, --format json, --kpi,
# --circuits, --checks, a filter (--where) and the export folder (--export-dir) against
# the plain report (truno-decode -q --crlf LOG > /dev/null) on generated logs, with the peak memory
# of each (flat from the smaller log to the larger one when memory is bounded by the open calls,
# not by the log). The machine's load average is printed first: the figures are the best of
# RUNS (default 7) runs of each view, taken in turn, on a machine that may be shared.
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

# One run: "WALL CPU PEAK" (seconds to the millisecond, seconds of user and system time of all
# threads, KiB). CPU time is given beside wall time because on a shared machine other work
# stretches the wall time.
once() {
  local times
  times=$( { TIMEFORMAT='%3R %3U %3S'; time /usr/bin/time -f "%M" "$@" > /dev/null 2> "$work/peak"; } 2>&1 )
  awk -v t="$times" -v m="$(tail -1 "$work/peak")" 'BEGIN { split(t, f, " "); printf "%s %.3f %s\n", f[1], f[2] + f[3], m }'
}

views=("report" "--summary" "--calls" "--stats" "--format json" "--kpi" "--circuits" "--checks" "--where" "--export-dir")
argsOf() {  # VIEW -> the arguments, one a line
  case "$1" in
    report) printf '%s\n' -q --crlf ;;
    # A filter on a message key: the report's records of the releases alone.
    --where) printf '%s\n' -q --crlf --where "type == REL" ;;
    # The export beside the report (its rows compressed on a thread of libzstd's own).
    --export-dir) printf '%s\n' -q --crlf --export-dir "$work/export" ;;
    *) printf '%s\n' -q $1 ;;
  esac
}
# Runs taken in turn, view after view, so that a slower minute of a shared machine falls on every
# view alike; the best wall and CPU time of each view, its highest peak.
rounds=${RUNS:-7}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo
echo "| messages | view | wall s | msg/s (wall) | share of the report's (wall) | CPU s | msg/s (CPU) | share of the report's (CPU) | peak MiB |"
echo "|---:|---|---:|---:|---:|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
  log="$work/$n.log"
  "$gen" "$n" > "$log"
  declare -A wall=() cpu=() peak=()
  for ((round = 0; round < rounds; round++)); do
    for view in "${views[@]}"; do
      mapfile -t args < <(argsOf "$view")
      read -r w c m < <(once "$tool" "${args[@]}" "$log")
      rm -rf "$work/export"
      if [ -z "${wall[$view]:-}" ] || awk "BEGIN{exit !($w < ${wall[$view]})}"; then wall[$view]=$w; fi
      if [ -z "${cpu[$view]:-}" ] || awk "BEGIN{exit !($c < ${cpu[$view]})}"; then cpu[$view]=$c; fi
      if [ "$m" -gt "${peak[$view]:-0}" ]; then peak[$view]=$m; fi
    done
  done
  for view in "${views[@]}"; do
    awk -v n="$n" -v v="$view" -v w="${wall[$view]}" -v c="${cpu[$view]}" -v rw="${wall[report]}" -v rc="${cpu[report]}" \
        -v m="${peak[$view]}" 'BEGIN{
      if (w < 0.001) w = 0.001; if (c < 0.001) c = 0.001; if (rc < 0.001) rc = 0.001;
      printf "| %d | %s | %.3f | %.0f | %.2f | %.3f | %.0f | %.2f | %.1f |\n", n, v, w, n / w, rw / w, c, n / c, rc / c, m / 1024 }'
  done
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
