#!/usr/bin/env python3
"""The text of --kpi and the naming of files read as one run, from the outside: the release-cause
tables keep their counts in one column clear of the longest name, the busiest hour never carries
more than the log does, and a --merge run is named by its files (its rows that span the files
name none).

Usage: reports-test.py TOOL SOURCE_DIR
"""
import csv
import json
import os
import re
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks, log_of, runner, write  # noqa: E402
from toolcheck import message as msg  # noqa: E402

tool, src = sys.argv[1:3]
work = tempfile.mkdtemp()
check = Checks()
run = runner(tool, "-q", text=True)


def call(start, code, cause, answered=True, hold=20):
    """A call on `code` from second `start` of 09:50, released with `cause` after `hold` s."""
    t = lambda s: f"09:{50 + (start + s) // 60:02d}:{(start + s) % 60:02d}.0"  # noqa: E731
    steps = [msg(t(0), "IAM", "S", code, "01 00 20 01 0A 00 02 09 07 03 10 21 43 65 87 09 00"),
             msg(t(1), "ACM", "R", code, "06 16 14 00")]
    if answered:
        steps.append(msg(t(2), "ANM", "R", code, "09 00"))
    return steps + [msg(t(hold), "REL", "R", code, f"0C 02 00 02 80 {0x80 | cause:02X}"),
                    msg(t(hold), "RLC", "S", code, "10 00")]


# Long cause names beside short ones; calls from 09:50 to 09:58, so that the log covers eight
# minutes of one hour.
CAUSES = [16, 19, 34, 47, 63, 88, 102, 111, 127]
messages = []
for k, cause in enumerate(CAUSES):
    messages += call(k * 50, k + 1, cause, answered=cause == 16)
log = write(work, "trace.log", log_of(messages))
text = run("--kpi", log).stdout
rows = [line for line in text.splitlines() if re.match(r"^    (\d+ |[a-z])", line) and "  " in line.strip()]
cause_rows = [line for line in rows if re.match(r"^    \d+ ", line)]
check("--kpi: a row per cause", len(cause_rows) == len(CAUSES), text)
columns = {len(re.match(r"^(.*?\S)\s{2,}\d+  ", line).group(1)) if re.match(r"^(.*?\S)\s{2,}\d+  ", line) else -1
           for line in cause_rows}
starts = {re.search(r"\s(\d+)  [\d.-]", line).start(1) if re.search(r"\s(\d+)  [\d.-]", line) else -1
          for line in cause_rows}
check("--kpi: every cause's count stands apart from its name, in one column",
      -1 not in columns and len(starts) == 1, cause_rows)
k = json.loads(run("--kpi", "--format", "json", log).stdout)
traffic, total = k["traffic"], k["total"]
check("--kpi: the busiest hour carries no more erlangs than the log over the part it covers",
      traffic["busiest_hour_covered_s"] == total["observed_s"] and
      abs(traffic["busiest_hour_erlangs"] - total["erlangs"]) < 0.0001, (traffic, total["erlangs"]))
line = next((x for x in text.splitlines() if "busiest hour" in x), "")
check("--kpi: the busiest hour says how much of it the log covers", "of it the log covers" in line, line)

# Three files as one run: named by the first and how many more, as the window's caption does; the
# KPI rows, which span the files, name none; the messages name their own.
parts = []
for n in range(3):
    parts.append(write(work, f"trace.log.{2 - n}" if n < 2 else "trace.log",
                       log_of(call(n * 60, 1, 16))))
rows = list(csv.reader(run("--kpi", "--merge", "--format", "csv", *parts).stdout.splitlines()))
check("--merge --kpi --format csv: the rows that span the files name none",
      rows[0][0] == "file" and all(r[0] == "" for r in rows[1:]), rows)
k = json.loads(run("--kpi", "--merge", "--format", "json", *parts).stdout)
check("--merge --kpi --format json: the document names no file", [d["file"] for d in k] == [None], k)
rows = list(csv.reader(run("--circuits", "--merge", "--format", "csv", *parts).stdout.splitlines()))
check("--merge --circuits --format csv: the circuits, which span the files, name none",
      len(rows) == 2 and rows[0][0] == "file" and rows[1][0] == "", rows)
files = [json.loads(x)["file"] for x in run("--merge", "--format", "json", *parts).stdout.splitlines()]
check("--merge: each message names its own file", files == [p for p in parts for _ in range(5)], files)
page = os.path.join(work, "health.html")
run("--merge", "--html", page, *parts)
title = re.search(r"<title>(.*?)</title>", open(page, encoding="utf-8").read(), re.S)
want = parts[0] + " + 2 files"
check("--merge --html: titled after the run's files", title is not None and want in title.group(1),
      title.group(1) if title else None)

# The README says once how capture files are written, and what it quotes the Windows build as
# refusing is refused in those words by the sources.
readme = open(os.path.join(src, "README.md"), encoding="utf-8").read()
sources = ""
for folder in ("cli", "run", "output"):
    for name in os.listdir(os.path.join(src, folder)):
        if name.endswith(".cpp"):
            sources += open(os.path.join(src, folder, name), encoding="utf-8").read()
refusals = re.findall(r'"([^"]*is not available[^"]*)"', readme)
refusals = [" ".join(r.split()) for r in refusals]
check("README: the refusals it quotes are the tool's", refusals and all(r in sources for r in refusals), refusals)
check("README: capture files written with no library, and no libpcap", "libpcap" not in readme and
      "with no library" in readme)

shutil.rmtree(work)
check.exit()
