#!/usr/bin/env bash
# The command-line tools on inputs that are not a plain, well-formed log, and on option forms:
# exit status, what standard error says, and that the report of the messages that can be read
# stays the bytes it is. Usage: input-test.sh TOOL LOGGEN SOURCE_DIR
set -uo pipefail
tool="$1"
gen="$2"
src="$3"
w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT
failures=0
passes=0

# expect NAME STATUS STDOUT STDERR INPUT COMMAND...
#   STDOUT  a file standard output must equal; "" for empty; "*" for no check
#   STDERR  an extended regular expression a line of standard error must match; "" for empty
#   INPUT   the file on standard input ("" for none)
expect() {
  local name="$1" status="$2" out="$3" err="$4" input="${5:-/dev/null}"
  shift 5
  [ -n "$input" ] || input=/dev/null
  "$@" < "$input" > "$w/out" 2> "$w/err"
  local got=$? why=""
  [ "$got" -eq "$status" ] || why+=" status $got, not $status;"
  case "$out" in
    "*") ;;
    "") [ ! -s "$w/out" ] || why+=" standard output not empty;" ;;
    *) cmp -s "$w/out" "$out" || why+=" standard output differs from $(basename "$out");" ;;
  esac
  if [ -z "$err" ]; then
    [ ! -s "$w/err" ] || why+=" standard error not empty: $(head -c 300 "$w/err");"
  else
    grep -Eq -- "$err" "$w/err" || why+=" standard error lacks /$err/: $(head -c 300 "$w/err");"
  fi
  if [ -z "$why" ]; then
    echo "ok   $name"
    passes=$((passes + 1))
  else
    echo "FAIL $name:$why"
    failures=$((failures + 1))
  fi
}

# The sample, its report with LF line ends, and inputs made from it.
cp "$src/examples/sample.log" "$w/sample.log"
sed 's/\r$//' "$src/examples/sample.expected" > "$w/sample.out"
gzip -c "$w/sample.log" > "$w/sample.log.gz"
cp "$w/sample.log.gz" "$w/sample.txt"
head -c 300 "$w/sample.log.gz" > "$w/cut.log.gz"
printf '\xFD7zXZ\x00\x00\x04\xE6\xD6\xB4\x46' > "$w/trace.log.xz"
printf 'BZh91AY&SY\x4E\xEC\xE8\x36' > "$w/trace.log.bz2"
printf '\x28\xB5\x2F\xFD\x24\x00' > "$w/trace.log.zst"
: > "$w/empty.log"
head -c 4096 "$tool" > "$w/binary.log"
sed -n '1,4p' "$w/sample.log" > "$w/header-only.log"
{ printf '\xEF\xBB\xBF'; sed '1s/\r$/ \t\r/' "$w/sample.log"; } > "$w/bom.log"
# Messages 2 and 3 (log lines 10-15) without their column headers (lines 10 and 13): they are
# ignored, and the report is that of the log without them.
sed '10d;13d' "$w/sample.log" > "$w/headless.log"
sed '10,15d' "$w/sample.log" > "$w/without-2-3.log"
"$tool" -q "$w/without-2-3.log" > "$w/without-2-3.out"
# Log line 11 with an octet past the 100 characters of DATA that are read.
sed "11s/\r\$/$(printf '%100s' '')FF\r/" "$w/sample.log" > "$w/long-data.log"
mkdir "$w/directory"

summary="8 messages found, 8 decoded, 0 not decoded$"
expect "gzip file" 0 "$w/sample.out" "^$w/sample.log.gz: $summary" "" "$tool" "$w/sample.log.gz"
expect "gzip on standard input" 0 "$w/sample.out" "^\(standard input\): $summary" "$w/sample.log.gz" "$tool"
expect "gzip told by its bytes, not its name" 0 "$w/sample.out" "$summary" "" "$tool" "$w/sample.txt"
expect "gzip with --jobs" 0 "$w/sample.out" "" "" "$tool" -qj3 "$w/sample.log.gz"
expect "gzip cut short" 2 "*" "error reading '$w/cut.log.gz': the gzip data ends early" "" "$tool" "$w/cut.log.gz"
expect "xz refused" 2 "" "^truno-decode: $w/trace.log.xz: xz-compressed input is not read; decompress it first \(xz -dc $w/trace.log.xz \| truno-decode -\)$" "" "$tool" "$w/trace.log.xz"
expect "bzip2 on standard input refused" 2 "" "^truno-decode: \(standard input\): bzip2-compressed input is not read; decompress it first \(\.\.\. \| bzip2 -dc \| truno-decode -\)$" "$w/trace.log.bz2" "$tool"
expect "zstd refused" 2 "" "zstd-compressed input is not read; decompress it first \(zstd -dc " "" "$tool" -q "$w/trace.log.zst"
expect "empty file" 1 "" "^$w/empty.log: 0 messages found, 0 decoded, 0 not decoded: no trace header line found" "" "$tool" "$w/empty.log"
expect "empty file, --quiet" 1 "" "^$w/empty.log: 0 messages found.*no trace header line found" "" "$tool" -q "$w/empty.log"
expect "empty standard input, --quiet" 1 "" "^\(standard input\): 0 messages found" "" "$tool" -q
expect "binary file" 1 "" "^$w/binary.log: 0 messages found" "" "$tool" -q "$w/binary.log"
expect "no message under the column header" 1 "" "0 messages found.*no message lines under the column header" "" "$tool" -q "$w/header-only.log"
expect "byte-order mark, blanks and a tab around the trace header" 0 "$w/sample.out" "" "" "$tool" -q "$w/bom.log"
expect "messages without their column header" 1 "$w/without-2-3.out" "^$w/headless.log: 2 lines that look like message data were ignored: no column header before them \(log lines 10, 12\)$" "" "$tool" "$w/headless.log"
expect "the warning also with --quiet" 1 "$w/without-2-3.out" "^$w/headless.log: 6 messages found, 6 decoded, 0 not decoded$" "" "$tool" -q "$w/headless.log"
expect "DATA past the 100 characters read" 1 "$w/sample.out" "^$w/long-data.log: 1 data line had DATA longer than the 100 characters that are read; the rest of it was not read \(log line 11\)$" "" "$tool" "$w/long-data.log"
expect "a directory" 2 "" "^truno-decode: cannot open '$w/directory': Is a directory$" "" "$tool" "$w/directory"
lines=$(wc -l < "$w/err")
expect "and nothing but the error" 0 "" "" "" test "$lines" -eq 1
expect "a directory among files" 2 "*" "^$w/sample.log: $summary" "" "$tool" "$w/directory" "$w/sample.log"
expect "-j4" 0 "$w/sample.out" "$summary" "" "$tool" -j4 "$w/sample.log"
expect "-qj2" 0 "$w/sample.out" "" "" "$tool" -qj2 "$w/sample.log"
expect "--jobs=2 and -j 2" 0 "$w/sample.out" "" "" "$tool" --jobs=2 -q -j 2 "$w/sample.log"
expect "options after the file" 0 "$w/sample.out" "" "" "$tool" "$w/sample.log" -q
expect "-- ends the options" 2 "" "cannot open '-q'" "" "$tool" -- -q
expect "-j without a number" 2 "" "^truno-decode: option -j/--jobs needs a number$" "" "$tool" "$w/sample.log" -j
expect "-j with a bad number" 2 "" "invalid number of jobs '2x'" "" "$tool" -j2x "$w/sample.log"
expect "an unknown short option in a group" 2 "" "^truno-decode: unknown option '-x'$" "" "$tool" -qx "$w/sample.log"
expect "an unknown long option" 2 "" "^truno-decode: unknown option '--fast'$" "" "$tool" --fast "$w/sample.log"
expect "a value for an option without one" 2 "" "^truno-decode: option '--quiet' takes no value$" "" "$tool" --quiet=yes "$w/sample.log"

# The log generator: a message count and an optional seed, both plain decimal numbers.
"$gen" 3 7 > "$w/three.log"
expect "truno-loggen writes N messages" 0 "*" "^\(standard input\): 3 messages found, 3 decoded, 0 not decoded$" "$w/three.log" "$tool"
expect "truno-loggen with the same seed writes the same log" 0 "$w/three.log" "" "" "$gen" 3 7
expect "truno-loggen --help" 0 "*" "" "" "$gen" --help
for bad in "-5" "abc" "1e3" "10 abc" "" "3 7 9" "99999999999999999999999"; do
  # shellcheck disable=SC2086  # the words of $bad are the arguments
  expect "truno-loggen ${bad:-(no argument)} is a usage error" 2 "" "^usage: truno-loggen MESSAGES \[SEED\]" "" "$gen" $bad
done

echo "$passes passed, $failures failed"
exit $((failures > 0))
