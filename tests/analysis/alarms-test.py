#!/usr/bin/env python3
"""Alarms a script can act on, from the outside: --fail-on's exit status for the kinds of finding
made (and not for the others), --alarm's kpi-threshold findings for the whole log and per --by
group, and a stuck circuit found once.

Usage: alarms-test.py TOOL SOURCE_DIR
"""
import json
import os
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


BODIES = {"IAM": "01 00 20 01 0A 00 02 09 07 03 10 21 43 65 87 09 00", "ACM": "06 16 14 00", "ANM": "09 00",
          "RLC": "10 00", "GRS": "17 01 01 07"}


def m(t, name, code=1, d="R", rest=None):
    return msg(t, name, d, code, rest or BODIES[name])


def rel(t, cause, code=1, d="R"):
    return msg(t, "REL", d, code, f"0C 02 00 02 80 {0x80 | cause:02X}")


def trace(name, messages):
    return write(work, name + ".log", log_of(messages))


def call(t0, code, cause=None):
    """A call on `code` from minute t0: answered, or released with `cause` after its ACM."""
    t = lambda s: f"10:{t0:02d}:{s:02d}.0"  # noqa: E731
    steps = [m(t(0), "IAM", code, "S"), m(t(1), "ACM", code)]
    steps += [m(t(3), "ANM", code)] if cause is None else []
    return steps + [rel(t(20), cause or 16, code), m(t(21), "RLC", code, "S")]


# Two quarter hours: the first all answered, the second with half its calls answered.
calls = trace("calls", call(0, 1) + call(1, 2) + call(16, 3) + call(17, 4, cause=34))
stuck = trace("stuck", [m("10:00:00.0", "IAM", 5, "S"), m("10:00:01.0", "ACM", 5), m("10:00:02.0", "ANM", 5),
                        m("10:30:00.0", "IAM", 6, "S"), m("10:30:01.0", "ACM", 6), m("10:30:03.0", "ANM", 6),
                        m("10:40:00.0", "IAM", 7, "S"), m("10:40:01.0", "ACM", 7)])
# Circuit 5 goes quiet at 10:00:02 (stuck past 600 s); circuit 6 at 10:30:03, 598 s before the end.
grs = trace("grs", [m("10:00:05.0", "GRS", 16, "S"), m("10:01:00.0", "IAM", 30, "S"), m("10:01:01.0", "ACM", 30)])

# The exit status: 3 when a finding of a kind named was made, whatever the view; else as before.
STATUS_CASES = [
    ("a kind that was found", ["--fail-on", "not-acknowledged", grs], 3),
    ("any kind", ["--fail-on", "any", grs], 3),
    ("a list holding one kind found", ["--fail-on", "dual-seizure,not-acknowledged", "--checks", grs], 3),
    ("a kind not found", ["--fail-on", "dual-seizure", grs], 0),
    ("a clean log", ["--fail-on", "any", calls], 0),
    ("stuck past held", ["--fail-on", "stuck-circuit", "--timer", "held=600", stuck], 3),
    ("not stuck within held", ["--fail-on", "stuck-circuit", stuck], 0),
    ("a KPI below its alarm", ["--fail-on", "kpi-threshold", "--alarm", "asr < 90", calls], 3),
    ("a KPI above it", ["--fail-on", "kpi-threshold", "--alarm", "asr < 70", calls], 0),
    ("the filter narrows what fails", ["--fail-on", "any", "--where", "cic == 30", grs], 0),
    ("an unknown kind is a usage error", ["--fail-on", "dual", grs], 2),
    ("an alarm on no KPI is a usage error", ["--alarm", "nerr < 95", calls], 2),
]
for name, args, status in STATUS_CASES:
    p = run(*args)
    check(f"--fail-on: {name}: status {status}", p.returncode == status, (p.returncode, p.stderr[-300:]))
p = run("--fail-on", "any", grs)
check("--fail-on leaves the report as it is", p.stdout == run(grs).stdout and p.stdout.count("IAM") >= 1)


def findings(*args):
    return [json.loads(line) for line in run("--checks", "--format", "json", *args).stdout.splitlines()]


def thresholds(*args):
    return [(f["kind"], f["sentence"]) for f in findings(*args) if f["kind"] == "kpi-threshold"]


# kpi-threshold: the whole log, or each --by group that crosses the alarm; a group that does not,
# or a KPI with no value, gives none.
ALARM_CASES = [
    ("the whole log", ["--alarm", "asr < 90"], ["asr 75.00 crosses the alarm asr < 90 in the whole log (4 seizures)"]),
    ("per group", ["--alarm", "ner <= 50", "--by", "15m"],
     ["ner 50.00 crosses the alarm ner <= 50 in the interval from 10:15:00.000 (2 seizures)"]),
    ("two alarms", ["--alarm", "asr < 60", "--alarm", "seizures >= 2", "--by", "cic:2"],
     ["seizures 2 crosses the alarm seizures >= 2 in group 2-3", "asr 0.00 crosses the alarm asr < 60 in group 4-5"]),
    ("none crossed", ["--alarm", "acd > 30"], []),
]
for name, args, want in ALARM_CASES:
    got = [s for _, s in thresholds(*args, calls)]
    check(f"--alarm: {name}", len(got) == len(want) and all(g.startswith(w) for g, w in zip(got, want)), got)
text = run("--checks", "--alarm", "asr < 90", calls).stdout
check("--alarm: in the text of --checks and its totals", "kpi-threshold: asr 75.00" in text and
      "1 kpi-threshold" in text, text)
page = os.path.join(work, "health.html")
run("--html", page, "--alarm", "asr < 90", calls)
check("--alarm: in the HTML report", "kpi-threshold" in open(page, encoding="utf-8").read())

found = [(f["kind"], f["circuit"], f["record"]) for f in findings("--timer", "held=600", stuck)]
check("a stuck circuit is named once, with its call's first record", found == [("stuck-circuit", 5, 1)], found)
text = run("--checks", grs).stdout
check("an unanswered GRS names its range", "16-23" in text, text)

# The options and the exit status are in --help, the man page and the README.
help_text = run("--help").stdout
man = open(os.path.join(src, "docs", "man", "truno-decode.1")).read().replace("\\-", "-")
readme = open(os.path.join(src, "README.md")).read()
for option in ("--alarm", "--fail-on"):
    check(f"--help, the man page and the README name {option}", option in help_text and option in man and option in readme)
check("exit status 3 is documented beside the others",
      "3 (unless 2)" in help_text and ".B 3\n" in man and "3, unless 2" in readme)

shutil.rmtree(work)
check.exit()
