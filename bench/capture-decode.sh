#!/usr/bin/env bash
# The whole tool on a capture against the same tool on the log of the same messages, and against
# tshark -V on the same capture: writes a log and a capture (Ethernet, IPv4, SCTP, M3UA, BICC) of
# N messages (default 1,000,000) with truno-loggen, times `truno-decode` on each (the report to
# /dev/null, the best of three runs) and `tshark -V` on the first T packets of the capture
# (default 100,000: tshark is slow enough that the whole file would take many minutes; its rate
# is what is compared). Usage: bench/capture-decode.sh [MESSAGES] [TSHARK_PACKETS]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-1000000}
t=${2:-100000}
cmake --preset default >/dev/null
cmake --build --preset default --target truno-loggen truno-decode >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/default/bench/truno-loggen "$n" > "$work/log"
build/default/bench/truno-loggen --pcap "$n" > "$work/pcap"
echo "machine: $(nproc) cores, $(awk '/model name/{sub(/.*: /,""); print; exit}' /proc/cpuinfo), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "log $(stat -c %s "$work/log") bytes, capture $(stat -c %s "$work/pcap") bytes, $n messages"

# The best of three wall-clock times of a command, in seconds.
best() {
    local best=""
    for _ in 1 2 3; do
        local start end took
        start=$(date +%s.%N)
        "$@" > /dev/null 2>&1 || true
        end=$(date +%s.%N)
        took=$(awk "BEGIN{print $end - $start}")
        if [ -z "$best" ] || awk "BEGIN{exit !($took < $best)}"; then best=$took; fi
    done
    echo "$best"
}

log=$(best build/default/truno-decode -q "$work/log")
cap=$(best build/default/truno-decode -q "$work/pcap")
start=$(date +%s.%N)
tshark -n -V -c "$t" -r "$work/pcap" > /dev/null 2>&1
end=$(date +%s.%N)
tsh=$(awk "BEGIN{print $end - $start}")
logRate=$(awk "BEGIN{print $n / $log}")
capRate=$(awk "BEGIN{print $n / $cap}")
tshRate=$(awk "BEGIN{print $t / $tsh}")
printf 'truno-decode, log:     %8.3f s  %10.0f messages/s\n' "$log" "$logRate"
printf 'truno-decode, capture: %8.3f s  %10.0f messages/s  (%.2f x the log)\n' "$cap" "$capRate" "$(awk "BEGIN{print $capRate / $logRate}")"
printf 'tshark -V, %d packets: %8.3f s  %10.0f messages/s  (truno-decode on the capture %.1f x faster)\n' \
    "$t" "$tsh" "$tshRate" "$(awk "BEGIN{print $capRate / $tshRate}")"
