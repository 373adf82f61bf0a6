#!/usr/bin/env python3
"""The views of truno-decode beside the report, checked from the outside: the JSON parsed by a
real parser and held against every field line of the golden reports, filtered reports against
the records of the full ones, the calls of a real capture against an independent reading of the
log's octets, the capture file read back by tshark, and not-decoded messages in every output.

Usage: views-test.py TOOL LOGGEN SOURCE_DIR
"""
import csv
import glob
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

tool, loggen, src = sys.argv[1:4]
golden = os.path.join(src, "tests", "golden")
work = tempfile.mkdtemp()
passes = failures = 0


def check(name, condition, detail=""):
    global passes, failures
    if condition:
        passes += 1
        print("ok   " + name)
    else:
        failures += 1
        print("FAIL " + name + ("" if not detail else ": " + str(detail)[:600]))


def run(*args, status=None):
    p = subprocess.run([tool, *args], capture_output=True)
    if status is not None and p.returncode != status:
        check(f"{' '.join(args)} exits {status}", False, f"{p.returncode}: {p.stderr.decode(errors='replace')}")
    return p


def read_log(path):
    """The messages of a well-formed log, read on their own: (time, direction, octets) each."""
    messages, current, columns = [], None, None
    time = direction = ""
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").split("\r\n")
    for line in lines:
        if "TIME        MSG        DIR  DATA" in line:
            columns = (line.index("TIME"), line.index("DIR"), line.index("DATA"))
            continue
        if columns is None:
            continue
        if line.strip(" ") == "":
            if current is not None:
                messages.append(current)
                current, columns = None, None
            continue
        t = line[columns[0]:columns[0] + 12].strip(" ")
        d = line[columns[1]:columns[1] + 5].strip(" ")
        time = t or time
        direction = d or direction
        data = line[columns[2]:columns[2] + 100].strip(" ")
        if current is None:
            current = (time, direction, [])
        current[2].extend(o for o in data.split("  ") if o)
    if current is not None:
        messages.append(current)
    return messages


def code_of(octets):
    return int(octets[3] + octets[2] + octets[1] + octets[0], 16)


BANNER = re.compile(rb"\r\n#{83}\r\nRECORD (\d+) ")


def records_of(report):
    """The record texts of a full report, each from the CR LF in front of it, by number."""
    text = b"\r\n" + report
    starts = [(m.start(), int(m.group(1))) for m in BANNER.finditer(text)]
    return {n: text[s:(starts[i + 1][0] if i + 1 < len(starts) else len(text))] for i, (s, n) in enumerate(starts)}


def filtered_report(records, numbers):
    out = b"".join(records[n] for n in numbers)
    return out[2:] if out.startswith(b"\r\n") else out


logs = sorted(glob.glob(os.path.join(golden, "*.log"))) + [os.path.join(src, "examples", "sample.log")]

# JSON Lines of every golden log: one object per record, and every field line of the report
# (label, dots, "=" in the value column, value) found as a field of its record with the same label
# and value. Where the report runs a raw dump and the next field together on one line, the field's
# value is the start of what follows the "=".
for log in logs:
    name = os.path.basename(log)
    expected = open(log[:-4] + ".expected" if "golden" in log else log[:-4] + ".expected", "rb").read()
    records = records_of(expected)
    options_file = log[:-4] + ".options"
    options = open(options_file).read().split() if os.path.exists(options_file) else []
    p = run(*options, "--format", "json", log)
    objects = [json.loads(line) for line in p.stdout.decode().splitlines()]
    check(f"{name}: one JSON object per record", [o["record"] for o in objects] == sorted(records),
          (len(objects), len(records)))
    missing = []
    for o in objects:
        fields = [(f["label"].rstrip("."), f["value"] + (", " + f["text"] if f["text"] else ""))
                  for block in o["parameters"] for f in block["fields"]]
        for line in records.get(o["record"], b"").decode().split("\r\n"):
            if len(line) < 45 or line[44] != "=" or line.startswith("RECORD "):
                continue
            label, printed = line[:44].strip(" ").rstrip("."), line[45:]
            if not any(label == lab and (value.startswith(printed) or (value and printed.startswith(value)))
                       for lab, value in fields):
                missing.append((o["record"], line))
    check(f"{name}: every field line of the report is a JSON field", not missing, missing[:3])

# Filtered reports: the records of the full report that pass, byte for byte; the summary on
# standard error still counts the whole log.
for log in [os.path.join(golden, n) for n in ("call-indicators-and-causes.log", "national-params.log",
                                               "isup-m3ua-calls-470.log")]:
    name = os.path.basename(log)
    records = records_of(open(log[:-4] + ".expected", "rb").read())
    messages = read_log(log)
    codes = [code_of(m[2]) for m in messages]
    types = [int(m[2][4], 16) for m in messages]
    some_code = codes[len(codes) // 2]
    cases = [
        (["--cic", f"{some_code}"], [i + 1 for i, c in enumerate(codes) if c == some_code]),
        (["--cic", f"0-{some_code}"], [i + 1 for i, c in enumerate(codes) if c <= some_code]),
        (["--type", "REL,iam"], [i + 1 for i, t in enumerate(types) if t in (0x0C, 0x01)]),
        (["--records", "3-5"], [3, 4, 5]),
        (["--records", "4", "--type", "REL"], [4] if types[3] == 0x0C else []),
        (["--not-decoded"], [n for n, text in records.items() if b"*** MESSAGE NOT DECODED ***" in text]),
    ]
    for args, numbers in cases:
        p = run("--crlf", *args, log)
        check(f"{name}: {' '.join(args)} gives the records of the full report",
              p.stdout == filtered_report(records, numbers), numbers)
        found = re.search(rb"(\d+) messages found", p.stderr)
        check(f"{name}: {' '.join(args)} still counts the whole log",
              found is not None and int(found.group(1)) == len(messages), p.stderr)

# The real capture of 94 calls: the calls against the log's own octets, read here.
log470 = os.path.join(golden, "isup-m3ua-calls-470.log")
messages = read_log(log470)
by_code = {}
for number, (time, direction, octets) in enumerate(messages, start=1):
    by_code.setdefault(code_of(octets), []).append((number, int(octets[4], 16), octets))
p = run("--calls", "--format", "json", log470, status=0)
calls = [json.loads(line) for line in p.stdout.decode().splitlines()]
check("470 messages: one call per code", sorted(c["cic"] for c in calls) == sorted(by_code), len(calls))
wrong = []
for c in calls:
    own = by_code[c["cic"]]
    kinds = [t for _, t, _ in own]
    rel = next(o for _, t, o in own if t == 0x0C)
    pointer = 5 + int(rel[5], 16)  # the cause indicators' length octet
    cause = int(rel[pointer + 2], 16) & 0x7F
    location = int(rel[pointer + 1], 16) & 0x0F
    expect = {"first_record": own[0][0], "last_record": own[-1][0],
              "outcome": "answered" if 0x09 in kinds and kinds[-1] == 0x10 else "?", "cause": str(cause),
              "location": str(location), "messages": len(own)}
    got = {k: c[k] for k in expect}
    got["location"] = (c["location"] or "").split(",")[0]
    if got != expect:
        wrong.append((c["cic"], got, expect))
check("470 messages: first and last record, outcome, cause and location of every call", not wrong, wrong[:2])
p = run("--stats", "--format", "json", log470)
stats = json.loads(p.stdout)
check("470 messages: statistics count 94 answered calls and 94 causes 16",
      stats["calls"] == 94 and stats["outcomes"]["answered"] == 94 and
      stats["causes"] == [{"value": "16", "text": "Normal call clearing.", "cause_name": "Normal call clearing",
                          "count": 94}], stats)
p = run("--call", "5", "--summary", log470)
summary_records = [int(line[:8]) for line in p.stdout.decode().splitlines()[1:]]
check("--call 5: the messages of the call on code 5", summary_records == [n for n, _, _ in by_code[5]],
      summary_records)
p = run("--calls", "--format", "csv", log470)
rows = list(csv.DictReader(io.StringIO(p.stdout.decode())))
check("calls as CSV: the columns asked for and one row per call",
      set("cic,first_record,last_record,start,end,direction,calling,called,outcome,cause,released_by".split(","))
      <= set(rows[0]) and len(rows) == 94, rows[:1])

# The capture file read back by tshark: one packet per message, with the log's own call instance
# codes and types, and the log's times on the given date.
# A build without capture files (TRUNO_PCAP=0, set by the build: Windows) refuses --pcap as a
# usage error and writes nothing.
capture_files = os.environ.get("TRUNO_PCAP", "1") != "0"
tshark = shutil.which("tshark") if capture_files else None
if not capture_files:
    refused = os.path.join(work, "refused.pcap")
    p = run("-q", "--pcap", refused, log470)
    check("--pcap is refused where the build has no capture files",
          p.returncode == 2 and b"--pcap is not available in this build" in p.stderr and not p.stdout
          and not os.path.exists(refused), (p.returncode, p.stderr))
elif tshark is None:
    check("tshark is installed (scripts/setup.sh)", False)
else:
    for log in [log470, os.path.join(golden, "call-control-messages.log"), os.path.join(src, "examples", "sample.log")]:
        name = os.path.basename(log)
        pcap = os.path.join(work, name + ".pcap")
        run("-q", "--summary", "--pcap", pcap, "--date", "2024-03-01", log)
        t = subprocess.run([tshark, "-r", pcap, "-T", "fields", "-e", "frame.time_epoch", "-e", "bicc.cic",
                            "-e", "isup.message_type"], capture_output=True, text=True)
        packets = [line.split("\t") for line in t.stdout.splitlines()]
        own = read_log(log)
        check(f"{name}: tshark reads one BICC packet per message with its code and type",
              [(int(p[1]), int(p[2])) for p in packets] == [(code_of(o), int(o[4], 16)) for _, _, o in own],
              (packets[:3], t.stderr[-300:]))
        h, m, s = own[0][0].split(":")
        # A page header's date comes before --date.
        page = re.search(rb"TIME (\d{4})-(\d\d)-(\d\d).*PAGE", open(log, "rb").read())
        day = (1709251200 if page is None else
               int(subprocess.run(["date", "-u", "-d", b"-".join(page.groups()).decode(), "+%s"],
                                  capture_output=True, text=True).stdout))
        check(f"{name}: the first packet's time is the log's on the date given (or its page header's)",
              abs(float(packets[0][0]) - (day + int(h) * 3600 + int(m) * 60 + float(s))) < 0.001,
              packets[0][0])

# A malformed log: its not-decoded messages appear in every output with their reason.
bad = os.path.join(work, "bad.log")
with open(bad, "wb") as f:
    body = ["01  00  00  00  01  00  20  01  0A  03  02  08  06  02  90  21  43  65  00  0A",  # IAM cut short
            "01  00  00  00  0C  02  00  05  84",                                             # REL cut short
            "02  00  00  00  5A  00",                                                         # unknown type
            "03  00  00",                                                                     # no type code
            "01  00  00  00  10  0G"]                                                         # RLC, octet not hex
    f.write(b"USER       BCIC        DEV                   ROUTE       TSTCALL\r\nX          1\r\n\r\n")
    for i, data in enumerate(body):
        f.write(f"TIME        MSG        DIR  DATA\r\n10:00:0{i}.00 X          S    {data}\r\n\r\n".encode())
report = run("--crlf", bad, status=1).stdout
reasons = [m.decode() for m in re.findall(rb"REASON\.+=(.*?)\r\n", report)]
check("malformed log: every message is reported not decoded", len(reasons) == 5, reasons)
p = run("--format", "json", bad, status=1)
objects = [json.loads(line) for line in p.stdout.decode().splitlines()]
check("malformed log: JSON says not decoded, with the report's reason",
      [o["reason"] for o in objects if not o["decoded"]] == reasons and len(objects) == 5, objects)
p = run("--summary", bad)
check("malformed log: the summary gives each reason",
      [line.split("not decoded: ", 1)[1] for line in p.stdout.decode().splitlines() if "not decoded: " in line] == reasons,
      p.stdout)
p = run("--format", "csv", bad)
rows = list(csv.DictReader(io.StringIO(p.stdout.decode())))
check("malformed log: CSV rows say not decoded, with the reason",
      [r["reason"] for r in rows if r["decoded"] == "false"] == reasons, rows)
p = run("--calls", "--format", "json", bad)
calls = [json.loads(line) for line in p.stdout.decode().splitlines()]
check("malformed log: the call on code 1 counts its not-decoded messages",
      [(c["cic"], c["messages"], c["not_decoded"], c["outcome"]) for c in calls] == [(1, 3, 3, "unanswered")], calls)
p = run("--stats", "--format", "json", bad)
stats = json.loads(p.stdout)
check("malformed log: statistics count the not-decoded messages per kind of reason",
      {r["kind"]: r["count"] for r in stats["not_decoded_reasons"]} ==
      {"optional part not closed": 1, "runs past the end": 1, "unknown type": 1, "no type code": 1,
       "not hex digits": 1} and stats["not_decoded"] == 5, stats)
p = run("-q", "--summary", "--pcap", os.path.join(work, "bad.pcap"), bad)
check("malformed log: the message with an octet that is not hex is written as text, and said so",
      b"1 message has octets that are not all two hex digits" in p.stderr, p.stderr)
if tshark is not None:
    t = subprocess.run([tshark, "-r", os.path.join(work, "bad.pcap")], capture_output=True, text=True)
    check("malformed log: all five are in the capture file", len(t.stdout.splitlines()) == 5, t.stdout)

# The summary's columns have fixed widths: each field is where the heading says.
p = run("--summary", log470)
lines = p.stdout.decode().splitlines()
objects = [json.loads(line) for line in run("--format", "json", log470).stdout.decode().splitlines()]
columns_ok = all(int(line[0:8]) == o["record"] and line[10:21].rstrip() == o["time"] and
                 line[23:26].rstrip() == o["direction"] and int(line[28:38]) == o["cic"] and
                 line[40:44].rstrip() == o["type"] for line, o in zip(lines[1:], objects))
check("summary: record, time, direction, code and type in fixed columns",
      columns_ok and len(lines) == 471 and lines[0].index("TYPE") == 40, lines[:2])

# Several threads hand the facts over in log order: the same views.
generated = os.path.join(work, "generated.log")
with open(generated, "wb") as f:
    subprocess.run([loggen, "3000"], stdout=f, check=True)
for args in (["--format", "json"], ["--calls"], ["--stats"], ["--summary", "--type", "REL"]):
    one = run(*args, generated).stdout
    two = run("-j", "2", *args, generated).stdout
    check(f"{' '.join(args)}: the same with --jobs 2", one == two and len(one) > 0)

# Usage errors: status 2 and a message that says what is wrong.
for args, said in [(["--summary", "--calls"], b"exclude each other"),
                   (["--type", "IAM,FOO"], b"known types: IAM SAM"),
                   (["--format", "xml"], b"expected text, json or csv"),
                   (["--date", "2024-02-30"], b"expected YYYY-MM-DD"),
                   (["--cic", "7-3"], b"invalid call instance code list"),
                   (["--call", "0"], b"invalid call"),
                   (["--records", "x"], b"invalid record range")]:
    p = run(*args, log470)
    check(f"{' '.join(args)} is a usage error", p.returncode == 2 and said in p.stderr, p.stderr)

# Every new option is in --help and in the man page.
help_text = run("--help").stdout.decode()
man = open(os.path.join(src, "docs", "man", "truno-decode.1")).read().replace("\\-", "-")
for option in ("--summary", "--calls", "--stats", "--format", "--cic", "--type", "--records", "--not-decoded",
               "--call", "--pcap", "--date"):
    check(f"--help and the man page name {option}", option in help_text and option in man)

shutil.rmtree(work)
print(f"{passes} passed, {failures} failed")
sys.exit(1 if failures else 0)
