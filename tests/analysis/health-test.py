#!/usr/bin/env python3
"""The trunk's health checked from the outside: KPIs of hand-made traces with known answers, one
trace per protocol check producing exactly its finding (and a clean trace none), the circuits'
states at the end, the KPIs of a real capture against an independent count of its message types,
and the HTML report read by Python's HTML parser with the same numbers as --kpi.

Usage: health-test.py TOOL SOURCE_DIR GOLDEN_DIR (where the real captures are)
"""
import csv
import html.parser
import json
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks, log_of, runner, write  # noqa: E402
from toolcheck import message as msg  # noqa: E402

tool, src, real = sys.argv[1:4]
work = tempfile.mkdtemp()
check = Checks()
run = runner(tool, "-q", text=True)


def iam(t, code=1, d="S"):
    return msg(t, "IAM", d, code, "01 00 20 01 0A 00 02 09 07 03 10 21 43 65 87 09 00")


def rel(t, cause, code=1, d="S"):
    return msg(t, "REL", d, code, f"0C 02 00 02 80 {0x80 | cause:02X}")


def m(t, name, code=1, d="R"):
    rest = {"SAM": "02 02 00 03 80 21 43", "ACM": "06 16 14 00", "CPG": "2C 01 01 00", "ANM": "09 00",
            "CON": "07 16 14 00", "RLC": "10 00", "RSC": "12", "GRS": "17 01 01 07", "GRA": "29 01 02 07 00",
            "BLO": "13", "BLA": "15", "UBL": "14", "UBA": "16", "CGB": "18 00 01 02 07 FF",
            "CGBA": "1A 00 01 02 07 FF", "CGU": "19 00 01 02 07 FF", "CGUA": "1B 00 01 02 07 FF"}[name]
    return msg(t, name, d, code, rest)


def trace(name, messages):
    return write(work, name + ".log", log_of(messages))


def json_of(*args):
    p = run(*args)
    return json.loads(p.stdout) if p.stdout.strip() else None


def findings_of(path, *args):
    p = run("--checks", "--format", "json", *args, path)
    return [json.loads(line) for line in p.stdout.splitlines()]


# KPIs: (name, messages, seizures, answered, reached the called user, released by calling, by called)
ANSWERED_CALL = [iam("10:00:00.0", 2), m("10:00:01.0", "ACM", 2), m("10:00:05.0", "ANM", 2), rel("10:00:35.0", 16, 2),
                 m("10:00:35.2", "RLC", 2, "R")]
KPI_CASES = [
    ("re-attempts on one circuit", [iam("10:00:00.0"), rel("10:00:01.0", 34, d="R"), m("10:00:01.1", "RLC", d="S"),
                                    iam("10:00:02.0"), m("10:00:03.0", "ACM"), m("10:00:04.0", "ANM"),
                                    rel("10:00:10.0", 16), m("10:00:10.2", "RLC")], 2, 1, 1, 1, 1),
    ("caller abandons after ringing", [iam("10:00:00.0"), m("10:00:01.0", "ACM"), rel("10:00:09.0", 16),
                                       m("10:00:09.1", "RLC")], 1, 0, 1, 1, 0),
    ("user busy", [iam("10:00:00.0"), rel("10:00:01.0", 17, d="R"), m("10:00:01.1", "RLC", d="S")], 1, 0, 1, 0, 1),
    ("no answer", [iam("10:00:00.0"), m("10:00:01.0", "ACM"), rel("10:01:00.0", 19, d="R"),
                   m("10:01:00.1", "RLC", d="S")], 1, 0, 1, 0, 1),
    ("congestion", [iam("10:00:00.0"), rel("10:00:01.0", 34, d="R"), m("10:00:01.1", "RLC", d="S")], 1, 0, 0, 0, 1),
    ("answered with CON", [iam("10:00:00.0"), m("10:00:02.0", "CON"), rel("10:00:30.0", 16),
                           m("10:00:30.1", "RLC")], 1, 1, 1, 1, 0),
    ("released from the far side", [iam("10:00:00.0"), m("10:00:01.0", "ACM"), m("10:00:02.0", "ANM"),
                                    rel("10:00:40.0", 16, d="R"), m("10:00:40.1", "RLC", d="S")], 1, 1, 1, 0, 1),
    ("midnight", [iam("23:59:58.0"), m("23:59:59.0", "ACM"), m("00:00:01.0", "ANM"), rel("00:00:11.0", 16),
                  m("00:00:11.2", "RLC")], 1, 1, 1, 1, 0),
]
for name, messages, seizures, answered, reached, by_calling, by_called in KPI_CASES:
    k = json_of("--kpi", "--format", "json", trace(name.replace(" ", "-"), messages))
    t = k["total"]
    got = (t["seizures"], t["answered"], t["reached_user"], t["released_by"]["calling"], t["released_by"]["called"])
    check(f"KPIs: {name}", got == (seizures, answered, reached, by_calling, by_called), (got, t))
    check(f"KPIs: {name}: ratios carry their terms",
          t["asr"]["numerator"] == answered and t["asr"]["denominator"] == seizures and
          t["ner"]["numerator"] == reached, t)

# The delays across midnight: setup IAM to ACM 1 s, answer ACM to ANM 2 s, conversation ANM to REL
# 10 s, holding IAM to RLC 13.2 s.
k = json_of("--kpi", "--format", "json", os.path.join(work, "midnight.log"))
delays = {name: d["median_s"] for name, d in k["total"]["delays"].items()}
check("delays across midnight", delays == {"setup": 1.0, "answer": 2.0, "conversation": 10.0, "holding": 13.2}, delays)
# The setup delay runs from the last address message: IAM, SAM 3 s later, ACM 1 s after that.
k = json_of("--kpi", "--format", "json", trace("sam", [iam("10:00:00.0"), m("10:00:03.0", "SAM", d="S"),
                                                      m("10:00:04.0", "ACM"), rel("10:00:05.0", 16),
                                                      m("10:00:05.1", "RLC")]))
check("setup delay from the last SAM", k["total"]["delays"]["setup"]["median_s"] == 1.0, k["total"]["delays"])
# --ner-causes replaces the table: 34 counts, 17 no longer does.
k = json_of("--kpi", "--format", "json", "--ner-causes", "34", os.path.join(work, "congestion.log"))
check("--ner-causes replaces the NER table", k["total"]["reached_user"] == 1 and k["ner_causes"] == [34], k["total"])
# Grouped by direction and by circuit group; the groups add up to the whole log.
both = trace("two-circuits", KPI_CASES[0][1] + ANSWERED_CALL)
k = json_of("--kpi", "--format", "json", "--by", "cic:2", both)
check("--by cic:2: one group per pair of codes", [(g["group"], g["seizures"]) for g in k["groups"]] == [("0-1", 2), ("2-3", 1)],
      k.get("groups"))
k = json_of("--kpi", "--format", "json", "--by", "1m", both)
check("--by 1m: the groups' seizures add up", sum(g["seizures"] for g in k["groups"]) == k["total"]["seizures"] == 3, k)
k = json_of("--kpi", "--format", "json", "--where", "cic == 2", both)
check("--where narrows the KPIs", k["total"]["seizures"] == 1 and k["total"]["answered"] == 1, k["total"])

# Protocol checks: each trace gives exactly its findings (kinds in order).
OTHER_CALL = [iam("10:02:00.0", 9), m("10:02:00.5", "ACM", 9), m("10:02:01.0", "ANM", 9)]  # moves time on
CHECK_CASES = [
    ("clean", ANSWERED_CALL + [m("10:00:40.0", "CGB", 5, "S"), m("10:00:40.5", "CGBA", 5), m("10:00:50.0", "GRS", 5, "S"),
                               m("10:00:50.5", "GRA", 5)] + OTHER_CALL, []),
    ("REL without RLC", [iam("10:00:00.0"), m("10:00:01.0", "ACM"), m("10:00:02.0", "ANM"), rel("10:00:10.0", 16)]
     + OTHER_CALL, ["release-not-completed"]),
    ("RLC without REL", ANSWERED_CALL + [m("10:00:36.0", "RLC", 2, "R")], ["release-complete-without-release"]),
    ("dual seizure", [iam("10:00:00.0"), iam("10:00:00.5", d="R")], ["dual-seizure"]),
    ("IAM on a busy circuit", [iam("10:00:00.0"), m("10:00:01.0", "ACM"), iam("10:00:02.0")], ["seizure-of-busy-circuit"]),
    ("IAM on a blocked circuit", [m("10:00:00.0", "BLO", 1, "R"), m("10:00:00.5", "BLA", 1, "S"), iam("10:00:01.0"),
                                  m("10:00:02.0", "ACM")], ["seizure-of-blocked-circuit"]),
    ("no backward message within T7", [iam("10:00:00.0")] + OTHER_CALL, ["no-backward-message"]),
    ("no answer within T9", [iam("10:00:00.0"), m("10:00:01.0", "ACM")] + OTHER_CALL, ["no-answer"]),
    ("GRS not acknowledged", [m("10:00:00.0", "GRS", 5, "S")] + OTHER_CALL, ["not-acknowledged"]),
    ("CGB not acknowledged", [m("10:00:00.0", "CGB", 5, "S")] + OTHER_CALL, ["not-acknowledged"]),
    ("RSC not acknowledged", [m("10:00:00.0", "RSC", 5, "S")] + OTHER_CALL, ["not-acknowledged"]),
    ("BLO not acknowledged", [m("10:00:00.0", "BLO", 5, "S")] + OTHER_CALL, ["not-acknowledged"]),
    ("ACM on an idle circuit", ANSWERED_CALL + [m("10:00:36.0", "ACM", 2)], ["message-on-idle-circuit"]),
    ("not decoded", [msg("10:00:00.0", "IAM", "S", 1, "01 00")], ["not-decoded"]),
]
for name, messages, kinds in CHECK_CASES:
    found = findings_of(trace(name.replace(" ", "-"), messages))
    check(f"checks: {name}", [f["kind"] for f in found] == kinds, found)
found = findings_of(os.path.join(work, "no-backward-message-within-T7.log"))
check("a timer finding names the message that started it", found and found[0]["record"] == 1 and found[0]["circuit"] == 1,
      found)
found = findings_of(os.path.join(work, "no-backward-message-within-T7.log"), "--timer", "T7=200")
check("--timer sets a timer", found == [], found)
p = run("--timer", "T99=5", os.path.join(work, "clean.log"))
check("--timer with an unknown timer is a usage error", p.returncode == 2 and "--timer" in p.stderr, p.stderr)
p = run("--checks", os.path.join(work, "clean.log"))
check("checks in text: a clean log says so", "No findings." in p.stdout and "T7 20 s" in p.stdout, p.stdout)

# Circuits at the end: blocked by a CGB (status bits name codes 5 to 12), busy, waiting for RLC,
# reset pending; those first, then the idle ones.
ends = trace("circuit-states", [m("10:00:00.0", "CGB", 5, "S"), m("10:00:00.5", "CGBA", 5), iam("10:00:01.0", 20),
                                iam("10:00:02.0", 21), rel("10:00:03.0", 16, 21), m("10:00:04.0", "RSC", 22, "S")]
              + ANSWERED_CALL)
circuits = [json.loads(line) for line in run("--circuits", "--format", "json", ends).stdout.splitlines()]
states = {c["circuit"]: c["state"] for c in circuits}
check("circuits: states at the end",
      states.get(5) == "blocked locally (maintenance)" and states.get(12) == "blocked locally (maintenance)" and
      states.get(20) == "busy" and states.get(21) == "waiting for RLC" and states.get(22) == "reset pending" and
      states.get(2) == "idle", states)
# Blocked, reset pending and waiting for an RLC past T1 need attention, a call in progress does not.
order = [c["circuit"] for c in circuits]
check("circuits: those that need attention first", sorted(order[:10]) == list(range(5, 13)) + [21, 22] and
      order[10:] == [2, 20], order)

# The real capture against an independent count of its message types: each IAM is a seizure,
# answered when an ANM or CON follows on its code before the next IAM there.
capture = os.path.join(real, "isup-m3ua-calls-470.log")
seizures = answered = 0
open_calls = {}
with open(capture, "rb") as f:
    lines = f.read().decode("latin-1").split("\r\n")
for i, line in enumerate(lines):
    if line.startswith("TIME        MSG        DIR  DATA"):
        octets = []
        for data in lines[i + 1:]:
            if not data.strip():
                break
            octets += data[28:].split()
        code = int(octets[0], 16) | int(octets[1], 16) << 8 | int(octets[2], 16) << 16 | int(octets[3], 16) << 24
        kind = octets[4]
        if kind == "01":
            seizures += 1
            open_calls[code] = False
        elif kind in ("09", "07") and code in open_calls and not open_calls[code]:
            open_calls[code] = True
            answered += 1
k = json_of("--kpi", "--format", "json", capture)
check("real capture: seizures and answered equal an independent count",
      (k["total"]["seizures"], k["total"]["answered"]) == (seizures, answered) and seizures > 0,
      (k["total"]["seizures"], k["total"]["answered"], seizures, answered))
check("real capture: no finding", findings_of(capture) == [])


# The HTML report: parsed, self-contained, its numbers those of --kpi.
class Reader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.current, self.tags, self.external = {}, None, set(), []

    def handle_starttag(self, tag, attrs):
        self.tags.add(tag)
        attrs = dict(attrs)
        self.current = attrs.get("id")
        if "data-count" in attrs:
            self.ids[attrs["id"]] = attrs["data-count"]
        for name in ("src", "href"):
            if attrs.get(name):
                self.external.append(attrs[name])

    def handle_data(self, data):
        if self.current and self.current not in self.ids:
            self.ids[self.current] = data.strip()

    def handle_endtag(self, tag):
        self.current = None


page = os.path.join(work, "health.html")
p = run("--html", page, "--html-ladders", "3", capture)
reader = Reader()
reader.feed(open(page, encoding="utf-8").read())
ids = reader.ids
check("HTML: the KPI numbers are those of --kpi",
      (int(ids.get("kpi-seizures", -1)), int(ids.get("kpi-asr-numerator", -1)), int(ids.get("kpi-ner-numerator", -1))) ==
      (k["total"]["seizures"], k["total"]["answered"], k["total"]["reached_user"]), ids)
check("HTML: self-contained (inline SVG, no script, nothing fetched)",
      "svg" in reader.tags and "script" not in reader.tags and not reader.external, (reader.tags, reader.external))
check("HTML: the findings and circuits are counted", ids.get("findings-count") == "0" and int(ids["circuits-count"]) > 0, ids)
failed = trace("failed", [iam("10:00:00.0"), rel("10:00:01.0", 34, d="R"), m("10:00:01.1", "RLC", d="S")])
p = run("--html", page, failed)
text = open(page, encoding="utf-8").read()
check("HTML: the ladder of a failed call", text.count("<polygon") == 3 and 'data-count="1"' in text, text[-800:])
p = run("--html", os.path.join(work, "no-such-folder", "x.html"), failed)
check("HTML: a file that cannot be written fails the run", p.returncode == 2 and "HTML report" in p.stderr, p.stderr)

# Two switches' traces read as one run, on the same codes and at the same times: east leaves a
# call open on code 1 and releases code 2; west's code 2 call began before its log, its code 1
# call is answered while east's is open, and its BLO on code 5 is not acknowledged. Kept apart,
# nothing mixes: no IAM on a busy circuit, no message on an idle one, no T1 running on east's time.
east = trace("sw-east", [iam("10:00:00.0", 1), m("10:00:02.0", "ACM", 1), iam("10:00:25.0", 2),
                         rel("10:00:29.0", 34, 2, "R"), m("10:00:30.0", "RLC", 2, "S")])
west = trace("sw-west", [m("10:00:01.0", "ACM", 2), m("10:00:02.0", "ANM", 2), iam("10:00:03.0", 1),
                         m("10:00:04.0", "ACM", 1), m("10:00:05.0", "ANM", 1), rel("10:00:10.0", 16, 2),
                         m("10:00:10.2", "RLC", 2), m("10:00:11.0", "BLO", 5, "S"), rel("10:00:15.0", 16, 1),
                         m("10:00:15.2", "RLC", 1), m("10:00:40.0", "RSC", 6, "S"), m("10:00:40.2", "RLC", 6)])
both = ("--merge", east, west)
calls = {(c["switch"], c["cic"]): (c["outcome"], c["messages"])
         for c in map(json.loads, run("--calls", "--format", "json", *both).stdout.splitlines())}
check("switches: each switch's calls on the same codes", calls == {
    ("sw-east", 1): ("incomplete", 2), ("sw-east", 2): ("unanswered", 3),
    ("sw-west", 1): ("answered", 5), ("sw-west", 2): ("begun-before-log", 4)}, calls)
found = [(f["kind"], f["switch"], f["circuit"]) for f in findings_of(*both)]
check("switches: the checks of each on its own circuits and time", found == [("not-acknowledged", "sw-west", 5)], found)
states = {(c["switch"], c["circuit"]): c["state"]
          for c in map(json.loads, run("--circuits", "--format", "json", *both).stdout.splitlines())}
check("switches: two sets of circuits", states == {
    ("sw-east", 1): "busy", ("sw-east", 2): "idle", ("sw-west", 1): "idle", ("sw-west", 2): "idle",
    ("sw-west", 5): "blocked locally (maintenance)", ("sw-west", 6): "idle"}, states)
k = json_of("--kpi", "--format", "json", "--by", "switch", *both)[0]
groups = [(g["group"], g["switch"], g["seizures"], g["answered"]) for g in k["groups"]]
check("--by switch: a group per switch, adding up to the whole",
      groups == [("sw-east", "sw-east", 2, 0), ("sw-west", "sw-west", 1, 1)] and k["total"]["switch"] is None and
      (k["total"]["seizures"], k["total"]["answered"]) == (3, 1), (groups, k["total"]))
# CSV: the switch is the last column (the file's comes first with several files).
for args, switches in [(["--calls"], {"sw-east", "sw-west"}), (["--circuits"], {"sw-east", "sw-west"}),
                       (["--checks"], {"sw-west"}), (["--kpi", "--by", "switch"], {"", "sw-east", "sw-west"})]:
    rows = list(csv.reader(run(*args, "--format", "csv", *both).stdout.splitlines()))
    check(f"CSV {' '.join(args)}: a last switch column", rows[0][-1] == "switch" and {r[-1] for r in rows[1:]} == switches,
          rows)
for where, records in [('switch == "sw-west"', range(6, 18)), ("switch != sw-west", range(1, 6)),
                       ("switch contains east and cic == 2", range(3, 6))]:
    got = [json.loads(line)["record"] for line in run("--format", "json", "--where", where, *both).stdout.splitlines()]
    check(f"--where '{where}'", got == list(records), got)
# Text tables get a SWITCH column only when the run spans several switches.
for name, args, column in [("two switches", both, True), ("one named", ("--merge", "--switch", "x", east, west), False),
                           ("one file", (east,), False)]:
    for view in ("--calls", "--checks", "--circuits"):
        heading = run(view, *args).stdout.splitlines()[0]
        check(f"{view}, {name}: a SWITCH column: {column}", ("SWITCH" in heading) == column, heading)
    run("--html", page, *args)
    text = open(page, encoding="utf-8").read()
    check(f"HTML, {name}: the circuits name their switch: {column}",
          ('<th class="text">switch</th><th>circuit</th>' in text) == column and ("<td class=\"text\">sw-west</td>" in text) == column,
          text[text.find("<h2>Circuits"):][:600])

# Every new option is in --help and in the man page.
help_text = run("--help").stdout
man = open(os.path.join(src, "docs", "man", "truno-decode.1")).read().replace("\\-", "-")
for option in ("--kpi", "--circuits", "--checks", "--by", "--ner-causes", "--timer", "--html", "--html-ladders", "--switch"):
    check(f"--help and the man page name {option}", option in help_text and option in man)

shutil.rmtree(work)
check.exit()
