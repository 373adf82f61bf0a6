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

# The best of three runs of a command: "WALL CPU" in seconds (CPU: user and system time, which a
# machine shared with other work measures more steadily than the wall clock).
best() {
    local wall="" cpu=""
    for _ in 1 2 3; do
        /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" > /dev/null 2> /dev/null || true
        read -r w u s < "$work/time"
        local c
        c=$(awk "BEGIN{print $u + $s}")
        if [ -z "$wall" ] || awk "BEGIN{exit !($w < $wall)}"; then wall=$w; fi
        if [ -z "$cpu" ] || awk "BEGIN{exit !($c < $cpu)}"; then cpu=$c; fi
    done
    echo "$wall $cpu"
}

read -r logWall logCpu <<< "$(best build/default/truno-decode -q "$work/log")"
read -r capWall capCpu <<< "$(best build/default/truno-decode -q "$work/pcap")"
read -r logWall2 logCpu2 <<< "$(best build/default/truno-decode -q -j2 "$work/log")"
read -r capWall2 capCpu2 <<< "$(best build/default/truno-decode -q -j2 "$work/pcap")"
/usr/bin/time -o "$work/time" -f "%e %U %S" tshark -n -V -c "$t" -r "$work/pcap" > /dev/null 2> /dev/null || true
read -r tshWall u s < "$work/time"
tshCpu=$(awk "BEGIN{print $u + $s}")
rate() { awk "BEGIN{printf \"%.0f\", $1 / $2}"; }
ratio() { awk "BEGIN{printf \"%.2f\", ($1) / ($2)}"; }
printf 'truno-decode, log:      wall %7.3f s (%s messages/s)  CPU %7.3f s (%s messages/s)\n' \
    "$logWall" "$(rate "$n" "$logWall")" "$logCpu" "$(rate "$n" "$logCpu")"
printf 'truno-decode, capture:  wall %7.3f s (%s messages/s)  CPU %7.3f s (%s messages/s)\n' \
    "$capWall" "$(rate "$n" "$capWall")" "$capCpu" "$(rate "$n" "$capCpu")"
printf '  capture / log, messages per second: wall %s, CPU %s\n' \
    "$(ratio "$logWall" "$capWall")" "$(ratio "$logCpu" "$capCpu")"
printf 'with -j2: log wall %7.3f s, capture wall %7.3f s (capture / log, messages per second: %s)\n' \
    "$logWall2" "$capWall2" "$(ratio "$logWall2" "$capWall2")"
printf 'tshark -V, %d packets: wall %7.3f s (%s messages/s)  CPU %7.3f s (%s messages/s)\n' \
    "$t" "$tshWall" "$(rate "$t" "$tshWall")" "$tshCpu" "$(rate "$t" "$tshCpu")"
printf '  truno-decode on the capture against tshark -V, messages per second: wall %s x, CPU %s x\n' \
    "$(ratio "$n * $tshWall" "$t * $capWall")" "$(ratio "$n * $tshCpu" "$t * $capCpu")"
