#!/usr/bin/env bash
# --jobs N, and the default (a file decoded with the machine's cores), give the same bytes as one
# thread on a generated log of realistic call flows (TIME and DIR carried over, page headers inside
# messages), and on a damaged copy of it; so do the messages as JSON, whose facts the threads hand
# over, the report with LF line ends, and the log read from standard input.
# Usage: jobs-test.sh TOOL LOGGEN
set -uo pipefail
tool="$1"
gen="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passes=0
failures=0
"$gen" 30000 7 > "$work/log"
# Damage: drop every 997th line, and turn every 1499th "0" into "x".
awk 'NR % 997 != 0 { if (NR % 1499 == 0) sub(/0/, "x"); print }' "$work/log" > "$work/damaged"
for log in log damaged; do
  "$tool" -q --crlf -j 1 "$work/$log" > "$work/$log.1"
  for j in default 2 3 4; do
    jobs=(-j "$j")
    [ "$j" = default ] && jobs=()
    "$tool" -q --crlf "${jobs[@]}" "$work/$log" > "$work/$log.$j"  # status 1 for the damaged log
    if cmp -s "$work/$log.$j" "$work/$log.1"; then
      echo "ok   $log: --jobs $j gives the same report"
      passes=$((passes + 1))
    else
      echo "FAIL $log: --jobs $j differs"
      failures=$((failures + 1))
    fi
  done
  "$tool" -q --crlf < "$work/$log" > "$work/$log.stdin"
  if cmp -s "$work/$log.stdin" "$work/$log.1"; then
    echo "ok   $log: standard input gives the same report"; passes=$((passes + 1))
  else
    echo "FAIL $log: standard input differs"; failures=$((failures + 1))
  fi
  # The LF form: the threads turn the line ends of their batches.
  "$tool" -q -j 1 "$work/$log" > "$work/$log.lf1"
  for j in default 3; do
    jobs=(-j "$j")
    [ "$j" = default ] && jobs=()
    "$tool" -q "${jobs[@]}" "$work/$log" > "$work/$log.lf"
    if cmp -s "$work/$log.lf" "$work/$log.lf1" && ! grep -q $'\r$' "$work/$log.lf"; then
      echo "ok   $log: --jobs $j gives the same LF report"; passes=$((passes + 1))
    else
      echo "FAIL $log: --jobs $j differs in the LF form"; failures=$((failures + 1))
    fi
  done
  # The views, whose facts (fields, times) the threads that decode the messages prepare.
  for view in --summary --calls --stats --kpi --circuits --checks; do
    "$tool" -q "$view" -j 1 "$work/$log" > "$work/$log.view1"
    "$tool" -q "$view" -j 3 "$work/$log" > "$work/$log.view3"
    if [ -s "$work/$log.view1" ] && cmp -s "$work/$log.view3" "$work/$log.view1"; then
      echo "ok   $log: --jobs 3 gives the same $view"; passes=$((passes + 1))
    else
      echo "FAIL $log: $view differs with --jobs 3"; failures=$((failures + 1))
    fi
  done
  "$tool" -q --format json -j 1 "$work/$log" > "$work/$log.json1"
  "$tool" -q --format json "$work/$log" > "$work/$log.json"
  if cmp -s "$work/$log.json" "$work/$log.json1"; then
    echo "ok   $log: the default gives the same JSON as one thread"; passes=$((passes + 1))
  else
    echo "FAIL $log: the default's JSON differs"; failures=$((failures + 1))
  fi
  # The JSON written by the threads that decode the messages: with more threads, with the messages
  # of chosen calls held back (their texts copied), over two files read as one run (each object
  # naming its file), as the summary's objects; through a pipe, which takes the pieces in parts.
  for case in "3|" "default|--call 5 --call 20000" "default|--merge $work/$log" "default|--summary"; do
    j=${case%%|*}
    read -r -a options <<<"${case#*|}"
    jobs=(-j "$j")
    [ "$j" = default ] && jobs=()
    "$tool" -q --format json -j 1 "${options[@]}" "$work/$log" > "$work/$log.want"
    "$tool" -q --format json "${jobs[@]}" "${options[@]}" "$work/$log" | cat > "$work/$log.got"
    if [ -s "$work/$log.want" ] && cmp -s "$work/$log.got" "$work/$log.want"; then
      echo "ok   $log: --jobs $j ${options[*]} gives the same JSON as one thread"; passes=$((passes + 1))
    else
      echo "FAIL $log: --jobs $j ${options[*]} differs in JSON"; failures=$((failures + 1))
    fi
  done
done
records=$(grep -c $'^RECORD [0-9]* ' "$work/log.1")
if [ "$records" -eq 30000 ]; then passes=$((passes + 1)); echo "ok   30000 records"; else failures=$((failures + 1)); echo "FAIL $records records"; fi
if grep -q 'MESSAGE NOT DECODED' "$work/damaged.1"; then passes=$((passes + 1)); echo "ok   damaged log has records not decoded"; else failures=$((failures + 1)); echo "FAIL damage left no trace"; fi
echo "$passes passed, $failures failed"
exit $((failures > 0))
