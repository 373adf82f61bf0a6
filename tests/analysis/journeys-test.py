#!/usr/bin/env python3
"""--journeys and --cdr held against the answer key of truno-loggen --network: four traces of a
network X-Y-Z (both ends of both trunks). Every journey of the key must come out as one journey
with exactly its legs (a wrong link fails as surely as a missing one), with its outcome, cause,
releasing switch, lost messages and what the transit switch changed; the decoys (two calls with
the same numbers at the same moment) must stay apart and be named ambiguous; the clock offsets
must be those of the key. Then bad input: no common trunk, ends that contradict the messages,
clocks hours apart, a trace cut short: each named, nothing linked on a guess. The CDRs are
loaded into DuckDB and counted against --journeys.

Usage: journeys-test.py TOOL LOGGEN SOURCE_DIR
"""
import collections
import csv
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks  # noqa: E402

tool, loggen, src = sys.argv[1:4]
check = Checks(quiet=True)
work = tempfile.mkdtemp()
net = os.path.join(work, "net")
subprocess.run([loggen, "--network", "600", "5", net], check=True)
key = json.load(open(os.path.join(net, "answer.json")))
traces = [t["file"] for t in key["traces"]]


def journeys(*args, files=traces, cwd=net):
    p = subprocess.run([tool, "-q", "--journeys", "--format", "json", *args, *files], capture_output=True, text=True, cwd=cwd)
    return p, [json.loads(line) for line in p.stdout.splitlines()]


p, found = journeys("--network", "network")
check("--journeys runs", p.returncode == 0, p.stderr)


def sightings_of(journey):
    return frozenset((s["file"], s["first_record"]) for leg in journey["legs"] for s in leg["sightings"])


by_sightings = {sightings_of(j): j for j in found}
by_sighting = {s: j for j in found for s in sightings_of(j)}
wrong = collections.Counter()
for k in key["journeys"]:
    expected = frozenset((s["file"], s["first_record"]) for leg in k["legs"] for s in leg["sightings"])
    if k["kind"] == "decoy":
        # Each leg at both ends of its trunk, the legs at Y not joined, and the candidates named.
        for leg in k["legs"]:
            both = frozenset((s["file"], s["first_record"]) for s in leg["sightings"])
            j = by_sightings.get(both)
            if j is None or len(j["legs"]) != 1 or not j["ambiguous"] or not j["legs"][0]["candidates"]:
                wrong["decoy"] += 1
        continue
    j = by_sightings.get(expected)
    if j is None:
        wrong["legs"] += 1
        if wrong["legs"] < 3:
            print("journey", k["id"], "expected", sorted(expected), "found", [by_sighting.get(s, {}).get("journey") for s in expected])
        continue
    if [(leg["from"], leg["to"]) for leg in j["legs"]] != [(leg["from"], leg["to"]) for leg in k["legs"]]:
        wrong["order of legs"] += 1
    if j["outcome"] != k["outcome"]:
        wrong["outcome"] += 1
    if j["cause"] != k["cause"] or j["released_at"] != k["released_at"] or j["location"] != k["location"]:
        wrong["cause, location or releasing switch"] += 1
    lost = collections.Counter()
    for leg in j["legs"]:
        for m in leg["unmatched"]:
            # "Z>Y CPG": sent at Z (in Z's trace of the trunk to Y) and never received at Y.
            sender = m["file"][0].upper()
            receiver = m["file"][2].upper()
            lost[f"{sender}>{receiver} {m['type']}" if m["sent_never_received"] else f"received {m['type']}"] += 1
    if lost != collections.Counter(k["lost"]):
        wrong["lost messages"] += 1
    changes = {c["key"] for hop in j["hops"] for c in hop["changes"]}
    if changes != set(k["changes"]):
        wrong["changes"] += 1
        if wrong["changes"] < 3:
            print("journey", k["id"], "changes", sorted(changes), "expected", sorted(k["changes"]))
check("every journey of the key has exactly its legs, outcome, cause, lost messages and changes", not wrong, dict(wrong))
decoys = sum(1 for k in key["journeys"] if k["kind"] == "decoy")
check("the key holds decoys (with and without a correlation id), diversions and lost messages",
      decoys >= 4 and any(k["kind"] == "keyed" for k in key["journeys"]) and any(k["kind"] == "diverted" for k in key["journeys"])
      and any(k["lost"] for k in key["journeys"]))
check("no journey beyond the key's (decoys count one per leg)",
      len(found) == sum(2 if k["kind"] == "decoy" else 1 for k in key["journeys"]), len(found))
trunk_legs = [leg for j in found for leg in j["legs"] if leg["link"].startswith("trunk")]
check("both ends of every trunk leg paired message by message, each delay small once the offset is off",
      trunk_legs and all(any(m["type"] == "IAM" for m in leg["paired"]) and all(abs(m["delay"]) <= 0.1 for m in leg["paired"])
                         for leg in trunk_legs))
check("a transit journey says the delay Y added", all(h["delay"] is not None and 0 <= h["delay"] <= 0.25
                                                      for j in found for h in j["hops"]))

# The clock offsets the summary names, against the key's (a message takes 10 to 40 ms; the logs
# show hundredths).
offsets = dict(re.findall(r"trunk (\w-\w) .*clock offset (-?[\d.]+) s", p.stderr))
if not offsets:
    p2 = subprocess.run([tool, "--journeys", "--network", "network", *traces], capture_output=True, text=True, cwd=net)
    offsets = dict(re.findall(r"trunk (\w-\w) .*clock offset (-?[\d.]+) s", p2.stderr))
expected = {"X-Y": (key["clock_offset_ms"]["Y"] - key["clock_offset_ms"]["X"]) / 1000,
            "Y-Z": (key["clock_offset_ms"]["Z"] - key["clock_offset_ms"]["Y"]) / 1000}
check("clock offsets per trunk as in the key", offsets.keys() == expected.keys() and
      all(abs(float(offsets[t]) - expected[t]) <= 0.05 for t in expected), (offsets, expected))

# --clock-offset auto: the same links, the times on X's clock (IAM transits small and positive).
p, auto = journeys("--network", "network", "--clock-offset", "auto")
check("--clock-offset auto links the same", sorted(map(sightings_of, auto), key=sorted) == sorted(map(sightings_of, found), key=sorted))

# The filter on journey keys, and the text form's order: failed journeys first.
p, failed = journeys("--network", "network", "--where", "journey.outcome != answered and journey.legs == 2")
check("--where on journey keys", failed and all(j["outcome"] != "answered" and len(j["legs"]) == 2 for j in failed) and
      len(failed) == sum(1 for j in found if j["outcome"] != "answered" and len(j["legs"]) == 2))
p = subprocess.run([tool, "-q", "--journeys", "--where", "journey.released_at == Y", "--network", "network", *traces],
                   capture_output=True, text=True, cwd=net)
heads = re.findall(r"^journey \d+ .* (answered|unanswered|incomplete)  legs", p.stdout, re.M)
check("text: failed journeys first", heads and heads == sorted(heads, key=lambda o: o == "answered"), heads[:5])
p = subprocess.run([tool, "--journeys", "--where", "call.outcome == answered", *traces], capture_output=True, text=True, cwd=net)
check("--journeys refuses call keys in --where", p.returncode == 2, p.stderr)

# CSV: one row per leg sighting, the same journeys.
p = subprocess.run([tool, "-q", "--journeys", "--format", "csv", "--network", "network", *traces], capture_output=True, text=True, cwd=net)
rows = list(csv.DictReader(io.StringIO(p.stdout)))
check("CSV: one row per leg sighting", len(rows) == sum(len(leg["sightings"]) for j in found for leg in j["legs"]) and
      {r["link"] for r in rows} >= {"trunk", "trunk+transit"}, len(rows))

# CDRs: one per leg, in CSV and JSON Lines, loaded into DuckDB.
cdr_csv = os.path.join(work, "cdr.csv")
cdr_json = os.path.join(work, "cdr.jsonl")
for fmt, path in (("csv", cdr_csv), ("json", cdr_json)):
    with open(path, "w") as out:
        p = subprocess.run([tool, "-q", "--cdr", "--format", fmt, "--network", "network", *traces], stdout=out, stderr=subprocess.PIPE,
                           text=True, cwd=net)
    check(f"--cdr --format {fmt}", p.returncode == 0, p.stderr)


def conforms(record, schema):
    """The record against the schema's members, types and enums (the subset the schema uses)."""
    types = {"integer": int, "number": (int, float), "string": str, "boolean": bool, "null": type(None)}
    if set(record) != set(schema["required"]) or set(record) - set(schema["properties"]):
        return False
    for name, value in record.items():
        rule = schema["properties"][name]
        if "enum" in rule and value not in rule["enum"]:
            return False
        if "type" in rule:
            allowed = rule["type"] if isinstance(rule["type"], list) else [rule["type"]]
            if not any(isinstance(value, types[t]) and not (t in ("integer", "number") and isinstance(value, bool))
                       for t in allowed):
                return False
    return True


with open(os.path.join(src, "docs", "schema", "cdr.schema.json")) as f:
    cdr_schema = json.load(f)
with open(cdr_json) as f:
    cdrs = [json.loads(line) for line in f]
check("every CDR conforms to docs/schema/cdr.schema.json", cdrs and all(conforms(c, cdr_schema) for c in cdrs),
      next((c for c in cdrs if not conforms(c, cdr_schema)), None))
by_id = {j["journey"]: j for j in found}
check("a CDR per leg, released_by and cause as the journey's where it has one leg",
      len(cdrs) == sum(len(j["legs"]) for j in found) and {c["journey"] for c in cdrs} == set(by_id) and
      all(c["released_by"] == j["released_at"] and c["cause"] == j["cause"]
          for c in cdrs for j in [by_id[c["journey"]]] if len(j["legs"]) == 1 and j["released_at"]))
query = os.path.join(src, "tests", "duckdb", "query-cdr.mjs")
d = subprocess.run(["node", query, cdr_csv, cdr_json], capture_output=True, text=True)
check("DuckDB reads the CDRs", d.returncode == 0, d.stderr[-800:])
if d.returncode == 0:
    result = json.loads(d.stdout)
    for form in ("csv", "json"):
        check(f"DuckDB ({form}): records and journeys as --journeys",
              int(result[form]["records"]) == sum(len(j["legs"]) for j in found) and int(result[form]["journeys"]) == len(found),
              (result[form], len(found)))
        check(f"DuckDB ({form}): answer and release times are ISO 8601 times of the key's date",
              int(result[form]["dated"]) == int(result[form]["records"]) and int(result[form]["answered"]) > 0, result[form])
    check("DuckDB: the same records in both forms", result["csv"] == result["json"], result)

# Y's capture of both its trunks: the legs' ends are the IAMs' point codes (X 1, Y 2, Z 3), and
# the journeys through Y are linked in the one capture as in the logs.
p, captured = journeys("--local-pc", "2", files=["y.pcap"])
check("--journeys on a capture runs", p.returncode == 0, p.stderr)
by_records = {frozenset(s["first_record"] for leg in j["legs"] for s in leg["sightings"]): j for j in captured}
names = {"X": "1", "Y": "2", "Z": "3"}
wrong = collections.Counter()
for k in key["journeys"]:
    records = [leg["captured_record"] for leg in k["legs"]]
    if k["kind"] == "decoy":
        if any(not by_records.get(frozenset([r]), {}).get("ambiguous") for r in records):
            wrong["decoy"] += 1
        continue
    j = by_records.get(frozenset(records))
    if j is None or [(leg["from"], leg["to"]) for leg in j["legs"]] != [(names[leg["from"]], names[leg["to"]]) for leg in k["legs"]]:
        wrong["legs"] += 1
    elif j["released_at"] != names[k["released_at"]] or j["cause"] != k["cause"]:
        wrong["release"] += 1
check("the capture's journeys are the key's, with their point codes and releasing switch", not wrong, dict(wrong))

# X's capture of its trunk to Y beside Y's capture: the two ends of trunk 1-2, each leg between
# them one leg seen in both (X's side declared by --ends, Y's by --local-pc), linked on through Y.
p, both = journeys("--local-pc", "2", "--ends", "x.pcap=1:2", files=["x.pcap", "y.pcap"])
check("--journeys on two captures runs", p.returncode == 0, p.stderr)
by_sightings = {sightings_of(j): j for j in both}
wrong = collections.Counter()
for k in key["journeys"]:
    def seen(leg):
        at_x = [("x.pcap", leg["captured_at_x"])] if "X" in (leg["from"], leg["to"]) else []
        return frozenset(at_x + [("y.pcap", leg["captured_record"])])
    if k["kind"] == "decoy":
        # Each leg whole at both ends of trunk 1-2, never joined at Y.
        if any(len(by_sightings.get(seen(leg), {}).get("legs", [])) != 1 for leg in k["legs"]):
            wrong["decoy"] += 1
        continue
    j = by_sightings.get(frozenset().union(*map(seen, k["legs"])))
    if j is None:
        wrong["legs"] += 1
    elif [(leg["from"], leg["to"], leg["link"].startswith("trunk")) for leg in j["legs"]] != \
            [(names[leg["from"]], names[leg["to"]], "X" in (leg["from"], leg["to"])) for leg in k["legs"]]:
        wrong["ends or link"] += 1
check("two captures of one trunk: every leg between them seen at both ends, the journeys the key's", not wrong, dict(wrong))
offset = re.search(r"trunk 1-2 \(x.pcap, y.pcap\): \d+ legs at both ends, clock offset (-?[\d.]+) s",
                   subprocess.run([tool, "--journeys", "--local-pc", "2", "--ends", "x.pcap=1:2", "x.pcap", "y.pcap"],
                                  capture_output=True, text=True, cwd=net).stderr)
check("two captures of one trunk: their clocks' offset as in the key", offset and
      abs(float(offset.group(1)) - (key["clock_offset_ms"]["Y"] - key["clock_offset_ms"]["X"]) / 1000) <= 0.05)

# Bad input: each named, nothing linked on a guess.
bad = os.path.join(work, "bad")
os.makedirs(bad)


def linked(js):
    return sum(1 for j in js for leg in j["legs"] if leg["link"] != "none" and leg["link"] != "ambiguous")


p, js = journeys("--ends", "x-y.log=X:Y", "--ends", "z-y.log=Z:Y", files=["x-y.log", "z-y.log"])
check("no common trunk: named", "no common trunk" in p.stderr and p.returncode == 1 and linked(js) == 0, p.stderr)

shutil.copy(os.path.join(net, "x-y.log"), os.path.join(bad, "copy.log"))
p, js = journeys("--ends", "x-y.log=X:Y", "--ends", "copy.log=Y:X", files=["x-y.log", os.path.join(bad, "copy.log")])
check("ends that contradict the messages: named, not linked", "contradict" in p.stderr and p.returncode == 1 and linked(js) == 0,
      p.stderr)


def shifted(text, hours):
    def move(m):
        h = (int(m.group(1)) + hours) % 24
        return f"{h:02d}{m.group(2)}"
    return re.sub(r"(?m)^(\d\d)(:\d\d:\d\d\.\d\d)", move, text)


with open(os.path.join(net, "z-y.log"), newline="") as f:
    z = f.read()
with open(os.path.join(bad, "z-y.log"), "w", newline="") as f:
    f.write(shifted(z, 2))
ends = ["--ends", "y-z.log=Y:Z", "--ends", "z-y.log=Z:Y"]
p, js = journeys(*ends, files=["y-z.log", os.path.join(bad, "z-y.log")])
check("clocks hours apart: named, not linked", "clocks far apart" in p.stderr and p.returncode == 1 and linked(js) == 0, p.stderr)
p, js = journeys(*ends, "--clock-offset", "auto", files=["y-z.log", os.path.join(bad, "z-y.log")])
check("clocks hours apart with --clock-offset auto: linked", p.returncode == 0 and linked(js) > 0 and
      linked(js) == sum(1 for k in key["journeys"] for leg in k["legs"] if leg["from"] + leg["to"] in ("YZ", "ZY")), p.stderr)

lines = z.split("\r\n")
cut = "\r\n".join(lines[: len(lines) // 2]).rsplit("TIME        MSG", 1)[0]
with open(os.path.join(bad, "z-y.log"), "w", newline="") as f:
    f.write(cut)
p, js = journeys(*ends, files=["y-z.log", os.path.join(bad, "z-y.log")])
full = {(s["file"], s["first_record"]) for j in found for leg in j["legs"] if leg["from"] + leg["to"] in ("YZ", "ZY")
        for s in leg["sightings"]}
cut_pairs = {frozenset((os.path.basename(s["file"]), s["first_record"]) for s in leg["sightings"]) for j in js for leg in j["legs"]
             if len(leg["sightings"]) == 2}
good_pairs = {frozenset((s["file"], s["first_record"]) for s in leg["sightings"]) for j in found for leg in j["legs"]
              if len(leg["sightings"]) == 2}
check("a trace cut short: named, and each leg it still links is one the whole trace links",
      "cut short" in p.stderr and p.returncode == 1 and cut_pairs and cut_pairs <= good_pairs and len(full) > 0, p.stderr)

check.exit()
