#!/usr/bin/env python3
"""The outputs of truno-decode read back by the tools they are for: JSON and CSV of several files
by Python's json and csv modules, the capture file by tshark (packet N is record N, both ends,
the date), and the Q.850 cause names beside the report's own wording.

Usage: outputs-test.py TOOL SOURCE_DIR
"""
import csv
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks, log_of, runner  # noqa: E402
import toolcheck  # noqa: E402

tool, src = sys.argv[1:3]
golden = os.path.join(src, "tests", "golden")
work = tempfile.mkdtemp()
check = Checks()
run = runner(tool)


def write(name, data):
    return toolcheck.write(work, name, data)


# Causes: 50 is printed with the report's own spelling, 16 as Q.850 has it.
causes = write("causes.log", log_of([
    ("10:00:00.00", "IAM", "S", "01  00  00  00  01  00  20  01  0A  00  02  09  07  03  10  21  43  65  87  09  00"),
    ("10:00:01.00", "REL", "R", "01  00  00  00  0C  02  00  02  84  B2"),
    ("10:00:01.10", "RLC", "S", "01  00  00  00  10  00"),
    ("10:00:02.00", "REL", "S", "02  00  00  00  0C  02  00  02  84  90"),
]))
calls_log = os.path.join(golden, "isup-m3ua-calls-470.log")
six = os.path.join(golden, "isup-m3ua-call-6.log")

# Several files as JSON Lines, CSV and one statistics document: every line or row parses, names
# its file, and no "==> FILE <==" line comes between them.
files = [six, causes]
p = run("--format", "json", *files)
objects = [json.loads(line) for line in p.stdout.decode().splitlines()]
check("several files, JSON Lines: every line an object naming its file, records restarting per file",
      [(o["file"], o["record"]) for o in objects] == [(six, n) for n in range(1, 7)] + [(causes, n) for n in range(1, 5)],
      [(o.get("file"), o.get("record")) for o in objects][:12])
for args, per_file in ((["--format", "csv"], (6, 4)), (["--summary", "--format", "csv"], (6, 4)),
                       (["--calls", "--format", "csv"], (1, 2))):
    p = run(*args, *files)
    text = p.stdout.decode()
    rows = list(csv.DictReader(io.StringIO(text)))
    check(f"several files, {' '.join(args)}: one header row, a file column, every row of both files",
          text.count("record," if "--calls" not in args else "cic,") == 1 and "==>" not in text and
          [r["file"] for r in rows] == [six] * per_file[0] + [causes] * per_file[1], text[:300])
p = run("--calls", "--format", "json", *files)
calls = [json.loads(line) for line in p.stdout.decode().splitlines()]
check("several files, calls as JSON: each names its file", [c["file"] for c in calls] == [six, causes, causes], calls)
p = run("--stats", "--format", "json", *files)
try:
    stats = json.loads(p.stdout)
except ValueError as e:
    stats = str(e)
check("several files, --stats --format json: one document, an array of one object per file",
      isinstance(stats, list) and [(s["file"], s["messages"]) for s in stats] == [(six, 6), (causes, 4)], stats)
p = run("--stats", "--format", "csv", *files)
rows = list(csv.DictReader(io.StringIO(p.stdout.decode())))
check("several files, --stats --format csv: one header row, the counts of both files",
      [(r["file"], r["count"]) for r in rows if r["table"] == "messages" and r["name"] == "all"] ==
      [(six, "6"), (causes, "4")], p.stdout[:300])
if shutil.which("jq"):
    for args in (["--format", "json"], ["--stats", "--format", "json"]):
        j = subprocess.run(["jq", "-e", "."], input=run(*args, *files).stdout, capture_output=True)
        check(f"several files, {' '.join(args)}: jq reads it", j.returncode == 0, j.stderr)
p = run("--summary", *files)
check("several files as text: each file's output under its ==> FILE <== line",
      p.stdout.decode().count("==> ") == 2, p.stdout[:200])
p = run("--format", "json", six)
check("one file: no file member", "file" not in json.loads(p.stdout.decode().splitlines()[0]))

# Q.850 names beside the report's wording, in the messages' JSON and CSV and in the calls'.
objects = [json.loads(line) for line in run("--format", "json", causes).stdout.decode().splitlines()]
fields = [f for o in objects for b in o["parameters"] for f in b["fields"] if f["key"] == "cause_indicators.cause_value"]
check("cause value fields: text as the report prints it, cause_name as Q.850 names it",
      [(f["text"], f["cause_name"]) for f in fields] ==
      [("Requested facility not subscribedr.", "Requested facility not subscribed"),
       ("Normal call clearing.", "Normal call clearing")], fields)
check("other fields have no cause_name",
      all("cause_name" not in f for o in objects for b in o["parameters"] for f in b["fields"]
          if f["key"] != "cause_indicators.cause_value"))
rows = list(csv.DictReader(io.StringIO(run("--format", "csv", causes).stdout.decode())))
check("messages as CSV: a cause_name column", [r["cause_name"] for r in rows] ==
      ["", "Requested facility not subscribed", "", "Normal call clearing"], rows)
for fmt in ("json", "csv"):
    out = run("--calls", "--format", fmt, causes).stdout.decode()
    got = ([json.loads(line)["cause_name"] for line in out.splitlines()] if fmt == "json"
           else [r["cause_name"] for r in csv.DictReader(io.StringIO(out))])
    check(f"calls as {fmt}: cause_name", got == ["Requested facility not subscribed", "Normal call clearing"], out)

# The capture file: packet N is record N for every record (a message whose octets are not hex
# too, as text), the record number in its comment, S and R as two ends, the date chosen.
tshark = shutil.which("tshark")
if tshark is None:
    check("tshark is installed (scripts/setup.sh)", False)
else:
    def packets(pcap, *fields):
        t = subprocess.run([tshark, "-r", pcap, "-T", "fields", *sum((["-e", f] for f in fields), [])],
                           capture_output=True, text=True)
        return [line.split("\t") for line in t.stdout.splitlines()]

    mixed = write("mixed.log", log_of([
        ("10:00:00.00", "RLC", "S", "01  00  00  00  10  00"),
        ("10:00:01.00", "RLC", "R", "01  00  00  00  10  0G"),
        ("10:00:02.00", "", "", "01  00  00  00  FE  00"),  # DIR carried over from the line before
        ("10:00:03.00", "RLC", "R", "02  00  00  00  10  00"),
    ]))
    pcap = os.path.join(work, "mixed.pcap")
    p = run("-q", "--summary", "--pcap", pcap, "--date", "2024-03-01", mixed)
    got = packets(pcap, "frame.number", "frame.comment", "exported_pdu.ipv4_src", "exported_pdu.ipv4_dst")
    check("capture file: packet N is record N, its comment names it; S and R go between two ends",
          [(g[0], g[1].split(":")[0], g[2], g[3]) for g in got] ==
          [("1", "record 1", "192.0.2.1", "192.0.2.2"), ("2", "record 2", "192.0.2.2", "192.0.2.1"),
           ("3", "record 3", "192.0.2.2", "192.0.2.1"), ("4", "record 4", "192.0.2.2", "192.0.2.1")], got)
    check("capture file: a message that is not hex is a packet of its text, and standard error says so",
          "not all two hex digits" in got[1][1] and b"1 message has octets that are not all two hex digits" in p.stderr,
          (got[1], p.stderr))
    # The date: a page header's, then --date, then the file's; standard input without one says so.
    dated = write("dated.log", log_of([("10:00:00.00", "RLC", "S", "01  00  00  00  10  00")],
                                      page="BICC SIGNALLING TRACE      TIME 2006-06-06 10:15      PAGE    1"))
    plain = write("plain.log", log_of([("10:00:00.00", "RLC", "S", "01  00  00  00  10  00")]))
    os.utime(plain, (1700000000, 1700000000))  # 2023-11-14
    for name, args, stdin, expected, said in [
        ("the page header's date", ["--date", "2024-03-01", dated], None, 1149588000, False),
        ("--date", ["--date", "2024-03-01", plain], None, 1709287200, False),
        ("the file's date", [plain], None, 1699956000, False),
        ("standard input: today's, said", ["-"], open(plain, "rb").read(), None, True),
    ]:
        pcap = os.path.join(work, "date.pcap")
        p = run("-q", "--summary", "--pcap", pcap, *args, input=stdin)
        stamp = float(packets(pcap, "frame.time_epoch")[0][0])
        ok = (expected is None or abs(stamp - expected) < 0.001) and \
            ((b"capture file's time stamps are on" in p.stderr) == said)
        check(f"capture file date: {name}", ok, (stamp, p.stderr))

# Rotated parts read as one run: the report and the calls of the parts equal those of the whole
# log (record numbers go on, a call spans two parts), --sort-files puts them in time order, and
# JSON names each message's file.
with open(os.path.join(golden, "isup-m3ua-calls-470.log"), "rb") as f:
    head, _, body = f.read().partition(b"\r\n\r\n")
head += b"\r\n\r\n"
whole_messages = [m + b"\r\n\r\n" for m in body.split(b"\r\n\r\n") if m.strip()]
parts = [write(name, head + b"".join(whole_messages[a:b]))
         for name, a, b in (("trace.log.2", 0, 201), ("trace.log.1", 201, 333), ("trace.log", 333, None))]
whole = write("whole.log", head + b"".join(whole_messages))
for view in ([], ["--calls"], ["--stats"]):
    merged = run("-q", "--merge", *view, *parts).stdout
    check(f"--merge {' '.join(view)}: the parts are the whole log", merged == run("-q", *view, whole).stdout and merged,
          merged[-300:])
check("--sort-files orders the parts by their first messages",
      run("-q", "--merge", "--sort-files", parts[2], parts[0], parts[1]).stdout == run("-q", whole).stdout)
lines = [json.loads(line) for line in run("-q", "--merge", "--format", "json", *parts).stdout.splitlines()]
check("--merge: JSON names each message's file, records go on",
      [m["record"] for m in lines] == list(range(1, len(whole_messages) + 1)) and
      lines[0]["file"] == parts[0] and lines[-1]["file"] == parts[2], (lines[0].get("file"), lines[-1].get("file")))

shutil.rmtree(work)
check.exit()
