#!/usr/bin/env bash
# A cross-built tool (Windows, run under Wine) writes the bytes the build machine's tool writes:
# the report of every golden log and of the sample, with CR LF and with LF, and the views of a
# capture of many calls, with the same standard error and exit status. The reference is the
# native build's tool when there is one; without it the reports are compared with the committed
# .expected files. And a file whose name is not ASCII is read, and named on standard error and
# in the "==> FILE <==" line as it was given.
# Usage: same-bytes-test.sh TOOL SOURCE_DIR [REFERENCE_TOOL]
set -uo pipefail
tool="$1"
src="$2"
reference="${3:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0
check() {  # check NAME CONDITION...
  local name="$1"
  shift
  if "$@"; then echo "ok   $name"; passes=$((passes + 1)); else echo "FAIL $name"; failures=$((failures + 1)); fi
}

# run PROGRAM OUT ARGS...: standard output to OUT, standard error to OUT.err, status to OUT.status.
run() {
  local program="$1" out="$2"
  shift 2
  "$program" "$@" > "$out" 2> "$out.err"
  echo $? > "$out.status"
}
same() { cmp -s "$1" "$2" && cmp -s "$1.err" "$2.err" && cmp -s "$1.status" "$2.status"; }

if [ -n "$reference" ] && [ -x "$reference" ]; then
  echo "reference: $reference"
else
  echo "no reference build ($reference): reports compared with the .expected files only"
  reference=""
fi

for log in "$src"/tests/golden/*.log "$src/examples/sample.log"; do
  name=$(basename "$log" .log)
  run "$tool" "$work/crlf" --crlf "$log"
  run "$tool" "$work/lf" "$log"
  if [ -n "$reference" ]; then
    run "$reference" "$work/ref-crlf" --crlf "$log"
    run "$reference" "$work/ref-lf" "$log"
    check "$name: --crlf report, standard error and status as the reference's" same "$work/crlf" "$work/ref-crlf"
    check "$name: LF report, standard error and status as the reference's" same "$work/lf" "$work/ref-lf"
  else
    check "$name: --crlf report is the .expected" cmp -s "$work/crlf" "${log%.log}.expected"
    check "$name: LF report is the .expected without its CRs" cmp -s "$work/lf" <(sed 's/\r$//' "${log%.log}.expected")
  fi
done

calls="$src/tests/golden/isup-m3ua-calls-470.log"
if [ -n "$reference" ]; then
  views=("--summary" "--summary --format csv" "--calls" "--calls --format csv" "--calls --format json"
         "--format json" "--format csv" "--stats" "--stats --format json" "--type REL,RLC --records 100-300 --crlf"
         "--cic 1-40 --calls" "-j 2 --format json")
  for view in "${views[@]}"; do
    # shellcheck disable=SC2086  # the words of $view are the options
    run "$tool" "$work/view" $view "$calls"
    # shellcheck disable=SC2086
    run "$reference" "$work/ref-view" $view "$calls"
    check "$view: the same bytes as the reference's" same "$work/view" "$work/ref-view"
    check "$view: not empty" test -s "$work/view"
  done
fi

# A file name outside ASCII (and outside any ANSI code page): read through its wide name.
named="$work/trace-é日本.log"
cp "$src/examples/sample.log" "$named"
run "$tool" "$work/named" "$named"
check "a non-ASCII file name is read (status 0)" test "$(cat "$work/named.status")" -eq 0
check "its report is the sample's" cmp -s "$work/named" <(sed 's/\r$//' "$src/examples/sample.expected")
check "standard error names it as given" grep -qxF "$named: 8 messages found, 8 decoded, 0 not decoded" "$work/named.err"
run "$tool" "$work/two" -q "$named" "$named"
check "the ==> FILE <== line names it as given" test "$(grep -cxF "==> $named <==" "$work/two")" -eq 2

echo "$passes passed, $failures failed"
exit $((failures > 0))
