#!/usr/bin/env bash
# The capture reader's speed against the log reader's on the same generated messages: writes a
# log and a capture of N messages (default 1,000,000) with truno-loggen and times both readers
# alone (truno-capture-bench). Usage: bench/capture.sh [MESSAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-1000000}
cmake --preset default >/dev/null
cmake --build --preset default --target truno-loggen truno-capture-bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/default/bench/truno-loggen "$n" > "$work/log"
build/default/bench/truno-loggen --pcap "$n" > "$work/pcap"
echo "machine: $(nproc) cores, $(awk '/model name/{sub(/.*: /,""); print; exit}' /proc/cpuinfo), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "log $(stat -c %s "$work/log") bytes, capture $(stat -c %s "$work/pcap") bytes"
build/default/bench/truno-capture-bench "$work/log" "$work/pcap"
