#!/usr/bin/env bash
# Benchmark of truno-decode against the previous release, in one run: both binaries decode the
# same generated logs, alternating, each timed several times (the best time counts). Prints a
# Markdown table: messages per second of each, their ratio, peak memory, the speed-up of
# --jobs 2, the memory of --jobs 256, and the floor (cat of the log and of the report); then the
# tool with its default options (every core) against `tshark -V` on the same messages (the tool's
# own --pcap output of the log), taken in turn, and their ratio.
#
# Usage: bench/run.sh [SIZES...]        default sizes: 100000 1000000
#   PREVIOUS=<git revision>  the release to measure against (default: release 1.6.0)
#   RUNS=<n>                 timed runs per binary and size (default 3)
#   TSHARK=0                 leave out the comparison with tshark -V
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000)
previous=${PREVIOUS:-ee036edf7105bc2678115b4273cb000605beccc8}  # release 1.6.0
runs=${RUNS:-3}

cmake --preset default >/dev/null
cmake --build --preset default --target truno-decode truno-loggen >/dev/null
tool=build/default/truno-decode
gen=build/default/bench/truno-loggen

# The previous release, built from its own sources beside this tree (once per revision).
old_src=build/previous-src
old=build/previous/truno-decode
if [ ! -x "$old" ] || [ "$(cat build/previous/revision 2>/dev/null)" != "$previous" ]; then
  rm -rf "$old_src" build/previous
  git worktree prune
  git worktree add --detach "$old_src" "$previous" >/dev/null 2>&1
  cmake -S "$old_src" -B build/previous -DCMAKE_BUILD_TYPE=Release -DTRUNO_WINDOW=OFF -DTRUNO_TESTS=OFF >/dev/null
  cmake --build build/previous --target truno-decode -j 2 >/dev/null
  # The release put the tool at the top of its build tree too.
  [ -x "$old" ] || cp "$(find build/previous -name truno-decode -type f -perm -u+x | head -1)" "$old"
  echo "$previous" > build/previous/revision
  git worktree remove --force "$old_src"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() { # user + system seconds of one run of a command, its output to /dev/null (microseconds)
  python3 - "$@" <<'PY'
import os, subprocess, sys
child = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
_, _, usage = os.wait4(child.pid, 0)
print(f"{usage.ru_utime + usage.ru_stime:.4f}")
PY
}
wall() { # wall seconds of one run
  local t0 t1; t0=$(date +%s%N); "$@" > /dev/null 2>&1 || true; t1=$(date +%s%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.3f", (b - a) / 1e9}'
}
peak() { # peak resident memory, KiB
  /usr/bin/time -o "$work/time" -f "%M" "$@" > /dev/null 2>&1 || true
  cat "$work/time"
}
min() { awk -v a="$1" -v b="$2" 'BEGIN{print (b == "" || a < b) ? a : b}'; }

echo "machine: $(nproc) cores, $(awk '/model name/{sub(/.*: /,""); print; exit}' /proc/cpuinfo), $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "previous release: $previous"
echo
echo "| messages | log MB | report MB | previous s | previous msg/s | this s | this msg/s | ratio | peak MiB (previous / this) | -j2 s | -j2 speed-up | -j256 peak MiB (previous / this) | cat log + report s |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
  log="$work/$n.log"
  "$gen" "$n" > "$log"
  "$tool" -q --crlf "$log" > "$work/$n.report" || true
  if ! cmp -s "$work/$n.report" <("$old" -q --crlf "$log" 2>/dev/null); then
    echo "the two reports of $n messages differ" >&2
  fi
  best_old="" best_new="" best_j2=""
  for _ in $(seq "$runs"); do  # alternating, so that both see the same machine
    best_old=$(min "$(seconds "$old" -q --crlf -j 1 "$log")" "$best_old")
    best_new=$(min "$(seconds "$tool" -q --crlf -j 1 "$log")" "$best_new")
    best_j2=$(min "$(wall "$tool" -q --crlf -j 2 "$log")" "$best_j2")
  done
  best_new_wall=""
  for _ in $(seq "$runs"); do best_new_wall=$(min "$(wall "$tool" -q --crlf -j 1 "$log")" "$best_new_wall"); done
  mem_old=$(peak "$old" -q --crlf -j 1 "$log")
  mem_new=$(peak "$tool" -q --crlf -j 1 "$log")
  mem256_old=$(peak "$old" -q --crlf -j 256 "$log")
  mem256_new=$(peak "$tool" -q --crlf -j 256 "$log")
  floor=$(wall sh -c "cat '$log' '$work/$n.report'")
  awk -v n="$n" -v lb="$(stat -c %s "$log")" -v rb="$(stat -c %s "$work/$n.report")" -v to="$best_old" \
      -v tn="$best_new" -v tw="$best_new_wall" -v t2="$best_j2" -v mo="$mem_old" -v mn="$mem_new" \
      -v m2o="$mem256_old" -v m2n="$mem256_new" -v fl="$floor" 'BEGIN{
        printf "| %d | %.1f | %.1f | %.3f | %.0f | %.3f | %.0f | %.2f | %.1f / %.1f | %.3f | %.2f | %.0f / %.0f | %.3f |\n",
          n, lb/1e6, rb/1e6, to, n/to, tn, n/tn, to/tn, mo/1024, mn/1024, t2, tw/t2, m2o/1024, m2n/1024, fl }'
  rm -f "$work/$n.report"
done
echo
echo "Times are the best of $runs runs (user + system seconds for one thread, wall seconds for -j2 and its speed-up over one thread's wall time); ratio = previous time / this time."

# The tool with its default options against tshark -V (Debian's), on the same messages: the
# tool's own --pcap output of each log. Both are taken in turn; wall seconds, best of the runs.
if [ "${TSHARK:-1}" != 0 ] && command -v tshark > /dev/null; then
  echo
  echo "| messages | tool (default options) s | tshark -V s | tshark / tool |"
  echo "|---:|---:|---:|---:|"
  for n in "${sizes[@]}"; do
    log="$work/$n.log"
    [ -f "$log" ] || "$gen" "$n" > "$log"
    "$tool" -q --pcap "$work/$n.pcapng" "$log" > /dev/null
    best_tool="" best_tshark=""
    for _ in $(seq "$runs"); do
      best_tool=$(min "$(wall "$tool" "$log")" "$best_tool")
      best_tshark=$(min "$(wall tshark -V -r "$work/$n.pcapng")" "$best_tshark")
    done
    awk -v n="$n" -v a="$best_tool" -v b="$best_tshark" 'BEGIN{ printf "| %d | %.3f | %.3f | %.0f |\n", n, a, b, b / a }'
    rm -f "$work/$n.pcapng"
  done
fi
