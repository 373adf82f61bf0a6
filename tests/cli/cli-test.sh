#!/usr/bin/env bash
# The command-line tool's contract: exit status, summary line, LF and CR LF output, several
# files, standard input, usage errors. Usage: cli-test.sh TOOL SOURCE_DIR
set -uo pipefail
tool="$1"
src="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0
check() {  # check NAME CONDITION...
  local name="$1"
  shift
  if "$@"; then echo "ok   $name"; passes=$((passes + 1)); else echo "FAIL $name"; failures=$((failures + 1)); fi
}

sample="$src/examples/sample.log"
expected="$src/examples/sample.expected"

"$tool" --crlf "$sample" > "$work/crlf" 2> "$work/err"; status=$?
check "decodes the sample (status 0)" test "$status" -eq 0
check "--crlf writes the report's own bytes" cmp -s "$work/crlf" "$expected"
check "summary line on standard error" grep -qx "$sample: 8 messages found, 8 decoded, 0 not decoded" "$work/err"

"$tool" -q "$sample" > "$work/lf" 2> "$work/err"
check "--quiet drops the summary" test ! -s "$work/err"
check "default line ends are LF" cmp -s "$work/lf" <(sed 's/\r$//' "$expected")
check "no CR in LF output" test "$(tr -cd '\r' < "$work/lf" | wc -c)" -eq 0

"$tool" -q < "$sample" > "$work/stdin"
check "no file reads standard input" cmp -s "$work/stdin" "$work/lf"
"$tool" -q - < "$sample" > "$work/dash"
check "- reads standard input" cmp -s "$work/dash" "$work/lf"

"$tool" -q -j 2 --crlf "$sample" > "$work/j2"
check "--jobs 2 gives the same bytes" cmp -s "$work/j2" "$expected"

"$tool" -q "$sample" "$sample" > "$work/two"
check "several files: one header line each" test "$(grep -c "^==> $sample <==\$" "$work/two")" -eq 2
check "several files: numbering restarts" test "$(grep -c '^RECORD 1 ' "$work/two")" -eq 2

printf 'USER       BCIC        DEV                   ROUTE       TSTCALL\r\nX          1\r\nTIME        MSG        DIR  DATA\r\n1           X          S    00  00  00  00  5A\r\n' > "$work/bad.log"
"$tool" -q "$work/bad.log" > "$work/bad" 2>&1; status=$?
check "a message not decoded gives status 1" test "$status" -eq 1
check "and is shown as not decoded" grep -q 'MESSAGE NOT DECODED' "$work/bad"

"$tool" "$work/missing.log" > /dev/null 2> "$work/err"; status=$?
check "an unreadable file gives status 2" test "$status" -eq 2
check "naming the file and the reason" grep -q "missing.log.*No such file" "$work/err"
"$tool" --no-such-option > /dev/null 2>&1; status=$?
check "a usage error gives status 2" test "$status" -eq 2
"$tool" -j 0 "$sample" > /dev/null 2>&1; status=$?
check "--jobs 0 is a usage error" test "$status" -eq 2

"$tool" --help > "$work/help"; status=$?
check "--help exits 0" test "$status" -eq 0
for opt in --crlf --jobs --quiet --help --version; do
  check "--help names $opt" grep -q -- "$opt" "$work/help"
  check "the man page names $opt" grep -q -- "${opt//-/\\\\-}" "$src/docs/man/truno-decode.1"
done
check "--version" sh -c "'$tool' --version | grep -q '^truno-decode [0-9]'"

printf 'nothing here\n' > "$work/empty.log"
"$tool" "$work/empty.log" > "$work/out" 2> "$work/err"
check "a file without messages says why" grep -q 'no trace header line found' "$work/err"

echo "$passes passed, $failures failed"
exit $((failures > 0))
