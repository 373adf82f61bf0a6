#!/usr/bin/env python3
"""Filter expressions of truno-decode checked from the outside: each expression's records (or
calls) against the same question answered here over the unfiltered --format json output, on
the golden captures and a generated log; the filter options as shorthand (repeated options
add up, --call takes any record of its call); bad expressions with their message and caret.

Usage: filters-test.py TOOL LOGGEN SOURCE_DIR
"""
import glob
import json
import os
import re
import subprocess
import sys
import tempfile

tool, loggen, src = sys.argv[1:4]
failures = passes = 0


def check(name, condition, detail=""):
    global passes, failures
    if condition:
        passes += 1
    else:
        failures += 1
        print("FAIL " + name + ("" if not detail else ": " + str(detail)[:600]))


def run(*args):
    return subprocess.run([tool, "-q", *args], capture_output=True, text=True)


def lines(out):
    return [json.loads(line) for line in out.splitlines()]


def ms(t):
    m = re.fullmatch(r"(\d{1,2}):(\d\d):(\d\d)(?:\.(\d+))?", t or "")
    if not m:
        return None
    frac = (m.group(4) or "")[:3].ljust(3, "0")
    return ((int(m.group(1)) * 60 + int(m.group(2))) * 60 + int(m.group(3))) * 1000 + int(frac)


def fields(m, key):
    return [f for p in m["parameters"] for f in p["fields"] if f["key"] == key]


def numbers(m, key):
    return [f["number"] for f in fields(m, key) if "number" in f]


def texts(m, key):
    return [f.get("digits", f["value"]) for f in fields(m, key)]


def has_parameter(m, key):
    return any(f["key"].startswith(key + ".") for p in m["parameters"] for f in p["fields"])


CAUSE, CALLED, CALLING = "cause_indicators.cause_value", "called_party_number.address_signals", \
    "calling_party_number.address_signals"

# Expression, and the same question asked of one message's JSON object.
# A build without RE2 (the Windows one) refuses 'matches': its cases are left out there, and the
# refusal is checked instead.
REGULAR_EXPRESSIONS = os.environ.get("TRUNO_RE2", "1") != "0"

MESSAGE_CASES = [
    ("type == REL", lambda m: m["type"] == "REL"),
    ("type in {IAM ACM} and direction == S", lambda m: m["type"] in ("IAM", "ACM") and m["direction"] == "S"),
    ("cause == 16", lambda m: 16 in numbers(m, CAUSE)),
    ("cause in {17..19 21}", lambda m: any(c in (17, 18, 19, 21) for c in numbers(m, CAUSE))),
    ("cause != 16", lambda m: 16 not in numbers(m, CAUSE)),
    ("type == REL and not cause == 16", lambda m: m["type"] == "REL" and 16 not in numbers(m, CAUSE)),
    ("cic in {2..9 40} && record > 3", lambda m: m["cic"] is not None and (2 <= m["cic"] <= 9 or m["cic"] == 40)
     and m["record"] > 3),
    ("called matches \"^12345(6|7)\"", lambda m: any(re.search("^12345(6|7)", t) for t in texts(m, CALLED))),
    ("calling contains \"99\" or called contains \"99\"",
     lambda m: any("99" in t for t in texts(m, CALLING) + texts(m, CALLED))),
    ("cause matches \"(?i)normal\"", lambda m: any(re.search("(?i)normal", f["value"] + ", " + f["text"])
                                                     for f in fields(m, CAUSE))),
    ("time >= \"20:22:30\" and time < \"20:23:04\"", lambda m: ms(m["time"]) is not None
     and ms("20:22:30") <= ms(m["time"]) < ms("20:23:04")),
    ("not decoded", lambda m: not m["decoded"]),
    ("failure == \"unknown type\" || code == 0xFE", lambda m: m["failure"] == "unknown type" or m["code"] == 0xFE),
    ("record in {2 5..7, 30}", lambda m: m["record"] in (2, 5, 6, 7, 30)),
    ("redirection_number", lambda m: has_parameter(m, "redirection_number")),
    ("!(type == IAM) and cause_indicators.location == 4", lambda m: m["type"] != "IAM" and 4 in numbers(m, "cause_indicators.location")),
    ("event", lambda m: len(fields(m, "event_information.event")) > 0),
    ("line <= 40 or direction != R", lambda m: m["line"] <= 40 or m["direction"] != "R"),
    ("called_party_number.nature_of_address == 3 and type == IAM",
     lambda m: m["type"] == "IAM" and 3 in numbers(m, "called_party_number.nature_of_address")),
    ("not call or call in {1..40}", lambda m: m["call"] is None or 1 <= m["call"] <= 40),
]

# Expressions with --calls, and the question asked of a call's JSON object and of the records of
# its messages that the message-level part selects.
CALL_CASES = [
    ("call.outcome != answered", lambda c, msgs: c["outcome"] != "answered"),
    ("call.cause in {17 21} and call.messages >= 5", lambda c, msgs: c["cause"] in ("17", "21") and c["messages"] >= 5),
    ("call.setup > 0.4", lambda c, msgs: c["setup_time"] is not None and c["setup_time"] > 0.4),
    ("call.talk <= 0.5 and call.released_by == R",
     lambda c, msgs: c["conversation_time"] is not None and c["conversation_time"] <= 0.5 and c["released_by"] == "R"),
    ("call.called matches \"^85\"", lambda c, msgs: c["called"] is not None and c["called"].startswith("85")),
    ("type == CPG", lambda c, msgs: any(m["type"] == "CPG" for m in msgs)),
    ("cause == 16 and call.start >= \"04:00:30\"",
     lambda c, msgs: any(16 in numbers(m, CAUSE) for m in msgs) and ms(c["start"]) is not None
     and ms(c["start"]) >= ms("04:00:30")),
]

work = tempfile.mkdtemp()
generated = os.path.join(work, "generated.log")
with open(generated, "w") as out:
    subprocess.run([loggen, "2000"], stdout=out, check=True)
logs = sorted(glob.glob(os.path.join(src, "tests", "golden", "*.log"))) + [generated]

if not REGULAR_EXPRESSIONS:
    MESSAGE_CASES = [c for c in MESSAGE_CASES if " matches " not in c[0]]
    CALL_CASES = [c for c in CALL_CASES if " matches " not in c[0]]
for log in logs:
    name = os.path.basename(log)
    everything = lines(run("--format", "json", log).stdout)
    for expression, question in MESSAGE_CASES:
        p = run("--format", "json", "--where", expression, log)
        got = [m["record"] for m in lines(p.stdout)]
        want = [m["record"] for m in everything if question(m)]
        check(f"{name}: {expression}", got == want, f"got {got[:12]} want {want[:12]} {p.stderr}")
        check(f"{name}: {expression}: says when nothing matches",
              ("the filters match no message" in p.stderr) == (not want), p.stderr)

calls = lines(run("--calls", "--format", "json", generated).stdout)
all_messages = lines(run("--format", "json", generated).stdout)
by_call = {}
for m in all_messages:
    by_call.setdefault(m["call"], []).append(m)
for expression, question in CALL_CASES:
    p = run("--calls", "--format", "json", "--where", expression, generated)
    got = [c["first_record"] for c in lines(p.stdout)]
    want = [c["first_record"] for c in calls if question(c, by_call.get(c["first_record"], []))]
    check(f"--calls: {expression}", got == want and want, f"got {got[:12]} want {want[:12]} {p.stderr}")

# The shorthand options: repeated ones add up, --call takes any record of its call.
log470 = os.path.join(src, "tests", "golden", "isup-m3ua-calls-470.log")
msgs470 = lines(run("--format", "json", log470).stdout)
long_call = next(c for c in lines(run("--calls", "--format", "json", log470).stdout) if c["messages"] >= 5)
middle = [m["record"] for m in msgs470 if m["call"] == long_call["first_record"]][2]
other = msgs470[1]
SHORTHAND = [
    (["--call", str(middle)], lambda m: m["call"] == long_call["first_record"]),
    (["--call", str(middle), "--call", str(other["record"])],
     lambda m: m["call"] in (long_call["first_record"], other["call"])),
    (["--cic", "1", "--cic", "3-4"], lambda m: m["cic"] in (1, 3, 4)),
    (["--type", "IAM", "--type", "rel"], lambda m: m["type"] in ("IAM", "REL")),
    (["--records", "9,11,20-30"], lambda m: m["record"] in [9, 11] + list(range(20, 31))),
    (["--records", "450-", "--type", "RLC"], lambda m: m["record"] >= 450 and m["type"] == "RLC"),
    (["--cic", "2", "--where", "type == ANM"], lambda m: m["cic"] == 2 and m["type"] == "ANM"),
]
for args, question in SHORTHAND:
    got = [m["record"] for m in lines(run("--format", "json", *args, log470).stdout)]
    want = [m["record"] for m in msgs470 if question(m)]
    check(" ".join(args), got == want and want, f"got {got[:12]} want {want[:12]}")
# The text report of the messages a filter lets through, whether it needs the calls followed
# (--call, a message's call) or not (the calls are then not followed): the records of the JSON.
for args in (["--call", str(middle)], ["--where", "call in {1..40}"], ["--where", "type == REL or cic == 2"]):
    got = [int(r) for r in re.findall(r"^RECORD (\d+) ", run(*args, log470).stdout, re.M)]
    want = [m["record"] for m in lines(run("--format", "json", *args, log470).stdout)]
    check("the text report: " + " ".join(args), got == want and want, f"got {got[:12]} want {want[:12]}")
# A call held until its last record: its messages come out whole, octets after their ends
# included, as without the filter (they were read from buffers the reader had reused).
log6 = os.path.join(src, "tests", "golden", "isup-m2pa-call-6.log")
whole6 = run("--format", "json", log6)
p = run("--format", "json", "--call", "6", log6)
check("--call of the last record: the held messages as they were",
      p.returncode == whole6.returncode and p.stdout == whole6.stdout and whole6.stdout, (p.returncode, p.stderr[-300:]))
p = run("--call", "999999", log470)
check("--call without a call", "no call holds record 999999" in p.stderr
      and "the filters match no message" in p.stderr, p.stderr)

# Bad expressions: the message, and the caret's column under the expression.
BAD = [
    ("caus == 16", 'unknown field "caus" (did you mean "cause"?)', 0),
    ("type == REL and cause == \"abc\"", 'type mismatch: "cause" is a number, and "abc" is not', 25),
    ("type == RLS", 'unknown message type "RLS" (known types: IAM', 8),
    ("(cause == 16 or cic == 2", "unbalanced parenthesis: '(' without ')'", 0),
    ("cause == 16)", "unbalanced parenthesis: ')' without '('", 11),
    ("reason matches \"[a-\"", "bad regular expression: missing ]", 15),
    ("time > \"25:99\"", 'type mismatch: "time" is a time of day', 7),
    ("cic contains 5", "'contains' needs a key with text", 4),
    ("cause = 16", "a single '=' (compare with '==')", 6),
    ("record in {5..2}", "a range whose end is before its start", 12),
    ("call.outcome == answered or type == IAM", "a condition mixes call keys with message keys", 0),
]
if not REGULAR_EXPRESSIONS:
    BAD = [b for b in BAD if " matches " not in b[0]] + [
        ("called matches \"^1\"", "'matches' is not available in this build (it has no RE2)", 15)]
for expression, message, column in BAD:
    p = run("--calls", "--where", expression, log470)
    err = p.stderr.splitlines()
    ok = p.returncode == 2 and len(err) >= 3 and err[0].startswith("truno-decode: --where: " + message) \
        and err[1] == "  " + expression and err[2] == " " * (2 + column) + "^"
    check(f"bad: {expression}", ok, f"{p.returncode} {p.stderr}")
p = run("--where", "call.outcome == answered", log470)
check("call keys need --calls", p.returncode == 2 and "need --calls" in p.stderr, p.stderr)

# The message's keys in docs/filters.md are the catalogue's, which docs/fields.md lists as the tool
# does (cli.fields-list-current).


def table_keys(path, heading):
    text = open(os.path.join(src, "docs", path)).read()
    table = text[text.index(heading):].split("\n\n")[1]
    return [k for row in table.splitlines()[2:] for k in re.findall(r"`([^`]+)`", row.split("|")[1])]


check("docs/filters.md names the message's keys of docs/fields.md",
      table_keys("filters.md", "**The message's own keys**") == table_keys("fields.md", "## Keys of the message"),
      (table_keys("filters.md", "**The message's own keys**"), table_keys("fields.md", "## Keys of the message")))

print(f"{passes} passed, {failures} failed")
sys.exit(1 if failures else 0)
