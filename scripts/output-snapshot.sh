#!/usr/bin/env bash
# Writes every output of truno-decode on the golden logs, the sample and a generated log into a
# folder, one file per log and view, so that two builds can be compared byte for byte:
#   scripts/output-snapshot.sh build/default/truno-decode /tmp/before
#   (change, build)
#   scripts/output-snapshot.sh build/default/truno-decode /tmp/after && diff -r /tmp/before /tmp/after
# The report, --summary, --calls, --stats, --kpi, --circuits and --checks in every format, the
# capture file (pcapng), the export folder's rows (decompressed) and the HTML report; then the same
# views over several logs read as one run (--merge). Standard error is kept beside each output.
set -euo pipefail
tool=$(realpath "$1")
out=$2
here=$(cd "$(dirname "$0")/.." && pwd)
loggen=${LOGGEN:-$here/build/default/bench/truno-loggen}
mkdir -p "$out"
rm -rf "${out:?}"/*
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$loggen" 5000 7 > "$work/generated.log"
# The logs are read from the work folder by their base names, so that the outputs that name a file
# are the same wherever the tree stands.
cp "$here"/tests/golden/*.log "$here"/tests/golden/*.options "$here/examples/sample.log" "$work"/
logs=()
for log in "$here"/tests/golden/*.log "$here/examples/sample.log"; do logs+=("$(basename "$log")"); done
logs+=(generated.log)

run() { # name, then the tool's arguments
  local name=$1
  shift
  (cd "$work" && "$tool" --date 2026-01-01 "$@" > "$out/$name" 2> "$out/$name.err"; echo "exit $?" >> "$out/$name.err") || true
}

snapshot() { # name, then the files and options that stand for one log (or one run)
  local name=$1
  shift
  run "$name.report" --crlf "$@"
  for view in summary calls stats kpi circuits checks; do
    for format in text json csv; do
      run "$name.$view.$format" "--$view" "--format=$format" "$@"
    done
  done
  run "$name.messages.json" --format=json "$@"
  run "$name.messages.csv" --format=csv "$@"
  run "$name.kpi-by.text" --kpi --by=1h "$@"
  run "$name.kpi-by.json" --kpi --by=cic:8 --format=json "$@"
  run "$name.where" --summary --where 'type == REL and cause in {16 17 31}' "$@"
  run "$name.pcap-run" --summary --pcap="$work/capture.pcapng" "$@"
  cp "$work/capture.pcapng" "$out/$name.pcapng" 2>/dev/null || true
  rm -rf "$work/export"
  run "$name.export-run" -q --export-dir="$work/export" "$@"
  if [ -d "$work/export" ]; then
    (cd "$work/export" && find . -type f | sort | while read -r part; do
       echo "== ${part%-*}"   # the part's name without its unique suffix
       case "$part" in *.zst) zstd -dc "$part" ;; *) cat "$part" ;; esac
     done) > "$out/$name.export" 2>&1
  fi
  run "$name.html-run" -q --html="$work/report.html" "$@"
  cp "$work/report.html" "$out/$name.html" 2>/dev/null || true
}

for log in "${logs[@]}"; do
  name=$(basename "$log" .log)
  options=()
  [ -f "$work/${log%.log}.options" ] && read -r -a options < "$work/${log%.log}.options"
  snapshot "$name" "${options[@]}" "$log"
done
snapshot merged --merge call-indicators-and-causes.log national-params.log generated.log
snapshot several call-indicators-and-causes.log generated.log
echo "$(find "$out" -type f | wc -l) files in $out"
