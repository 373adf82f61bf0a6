#!/usr/bin/env python3
"""The export folder loaded by real query engines: the logs of two switches exported with
--export-dir, then read by DuckDB and loaded by ClickHouse's engine (chDB) into the tables of
docs/export.md (their Node.js packages, installed by scripts/setup.sh); the messages per switch
and type, the calls per outcome and the ASR per interval that SQL counts equal the tool's own
--stats, --calls and --kpi, the columns have their types, and every column of every row in
ClickHouse equals the rows' JSON; a second run adds parts and rewrites none.

Usage: export-test.py TOOL SOURCE_DIR
"""
import collections
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks, runner  # noqa: E402

tool, src = sys.argv[1:3]
check = Checks()
run = runner(tool, "-q", text=True)
work = tempfile.mkdtemp()
export = os.path.join(work, "export")
golden = os.path.join(src, "tests", "golden")
logs = {"sw-east": os.path.join(golden, "isup-m3ua-calls-470.log"), "sw-west": os.path.join(golden, "bicc-iam-app-1.log")}
query = os.path.join(src, "tests", "duckdb", "query-export.mjs")
load_clickhouse = os.path.join(src, "tests", "duckdb", "load-export-chdb.mjs")


def duckdb(folder=export):
    p = subprocess.run(["node", query, folder], capture_output=True, text=True)
    check("DuckDB reads the export", p.returncode == 0, p.stderr[-800:])
    return json.loads(p.stdout) if p.returncode == 0 else {}


for switch, log in logs.items():
    p = run("--export-dir", export, "--switch", switch, "--date", "2026-12-08", log)
    check(f"export of {switch}", p.returncode == 0, p.stderr)
found = duckdb()

# The tool's own figures.
expected_messages = collections.Counter()
expected_calls = collections.Counter()
expected_asr = {}
for switch, log in logs.items():
    for line in run("--format", "json", log).stdout.splitlines():
        expected_messages[(switch, json.loads(line)["type"])] += 1
    for line in run("--calls", "--format", "json", log).stdout.splitlines():
        expected_calls[(switch, json.loads(line)["outcome"])] += 1
    kpi = json.loads(run("--kpi", "--by", "15m", "--format", "json", log).stdout)
    for group in kpi["groups"]:
        expected_asr[(switch, "2026-12-08 " + group["group"])] = (group["seizures"], group["answered"])

got_messages = collections.Counter({(r["switch"], r["type"]): int(r["n"]) for r in found.get("messages", [])})
got_calls = collections.Counter({(r["switch"], r["outcome"]): int(r["n"]) for r in found.get("calls", [])})
got_asr = {(r["switch"], r["interval_start"]): (int(r["seizures"]), int(r["answered"])) for r in found.get("asr", [])}
check("messages per switch and type equal the tool's", got_messages == expected_messages and expected_messages,
      (got_messages, expected_messages))
check("calls per switch and outcome equal the tool's", got_calls == expected_calls and expected_calls,
      (got_calls, expected_calls))
check("seizures and answers per interval equal --kpi's", got_asr == expected_asr and expected_asr, (got_asr, expected_asr))
for kind, schema in (("messages", "message"), ("calls", "call"), ("kpi", "kpi")):
    with open(os.path.join(src, "docs", "schema", f"{schema}.schema.json")) as f:
        required = set(json.load(f)["required"])
    columns = set(found.get("columns", {}).get(kind, []))
    check(f"{kind}: the columns DuckDB finds hold the schema's required members", required <= columns,
          required - columns)
# The types DuckDB infers from the values, without a cast.
types = {(kind, column): t for kind, columns in found.get("columns", {}).items() for column, t in columns.items()}
for kind, column, want in (("messages", "timestamp", "TIMESTAMP"), ("calls", "timestamp", "TIMESTAMP"),
                           ("kpi", "timestamp", "TIMESTAMP"), ("calls", "cause", "BIGINT"),
                           ("messages", "reason", "VARCHAR"), ("messages", "failure", "VARCHAR"),
                           ("messages", "time", "TIME"), ("calls", "start", "TIME"), ("messages", "cic", "BIGINT"),
                           ("calls", "setup_time", "DOUBLE"), ("kpi", "asr_percent", "DOUBLE"),
                           ("messages", "decoded", "BOOLEAN"), ("messages", "octets", "VARCHAR[]")):
    check(f"DuckDB reads {kind}.{column} as {want}", types.get((kind, column)) == want, types.get((kind, column)))
check("every row has the schema version", found.get("schema") == [{"schema_version": "2"}], found.get("schema"))
folders = sorted(os.path.relpath(d, export) for d, _, files in os.walk(export) if files)
check("partitioned by kind, date and switch",
      folders == sorted(f"{kind}/date=2026-12-08/switch={s}" for kind in ("calls", "kpi", "messages") for s in logs),
      folders)

# The ClickHouse tables of docs/export.md, created and loaded in chDB by the page's own statements.
p = subprocess.run(["node", load_clickhouse, export, os.path.join(src, "docs", "export.md")], capture_output=True,
                   text=True)
check("ClickHouse (chDB) creates the tables of docs/export.md and loads the export", p.returncode == 0, p.stderr[-800:])
clickhouse = json.loads(p.stdout) if p.returncode == 0 else {}
got = collections.Counter({(r["switch"], r["type"]): r["n"] for r in clickhouse.get("messages", [])})
check("ClickHouse: messages per switch and type equal the tool's", got == expected_messages, (got, expected_messages))
got = collections.Counter({(r["switch"], r["outcome"]): r["n"] for r in clickhouse.get("calls", [])})
check("ClickHouse: calls per switch and outcome equal the tool's", got == expected_calls, (got, expected_calls))
got = {(r["switch"], r["interval_start"]): (r["seizures"], r["answered"]) for r in clickhouse.get("asr", [])}
check("ClickHouse: seizures and answers per interval equal --kpi's", got == expected_asr, (got, expected_asr))


def export_rows(kind):
    """The rows of a kind's parts, each with its folder's date, as ClickHouse orders them."""
    rows = []
    for folder, _, names in os.walk(os.path.join(export, kind)):
        for name in names:
            data = subprocess.run(["zstd", "-dc", os.path.join(folder, name)], capture_output=True).stdout
            date = os.path.basename(os.path.dirname(folder)).split("=")[1]
            rows += [dict(json.loads(line), date=date) for line in data.decode().splitlines()]
    key = {"messages": "record", "calls": "first_record", "kpi": "timestamp"}[kind]
    return sorted(rows, key=lambda r: (r["switch"], r[key]))


# Every column of every row as the JSON has it: a value of each of the tables' column types.
for table in ("messages", "calls", "kpi"):
    loaded = clickhouse.get("rows", {}).get(table, [])
    written = export_rows(table)
    types = clickhouse.get("types", {}).get(table, {})
    differences, seen = [], set()
    for ours, theirs in zip(written, loaded):
        for column, kind in types.items():
            value = theirs.get(column)
            if kind == "String" and column == "parameters":
                value = json.loads(value)
            if value != ours.get(column):
                differences.append((column, kind, ours.get(column), value))
            elif value is not None and value != []:
                seen.add(kind)
    check(f"ClickHouse: every column of every {table} row equals the JSON", len(loaded) == len(written) and loaded
          and not differences, (len(loaded), len(written), differences[:3]))
    check(f"ClickHouse: {table} has a value of each of its column types", seen == set(types.values()) and types,
          set(types.values()) - seen)

# A second run adds a part and leaves the first as it was.
first = os.path.join(export, "messages", "date=2026-12-08", "switch=sw-west", "part-00000.jsonl.zst")
before = open(first, "rb").read()
run("--export-dir", export, "--switch", "sw-west", "--date", "2026-12-08", logs["sw-west"])
check("a later run adds a part", os.path.exists(first.replace("part-00000", "part-00001")) and
      open(first, "rb").read() == before)
again = duckdb()
check("the added part is read too",
      sum(int(r["n"]) for r in again.get("messages", []) if r["switch"] == "sw-west") ==
      2 * sum(n for (s, _), n in expected_messages.items() if s == "sw-west"), again.get("messages"))

# The switch defaults to the file's name without rotation number and .log.
rotated = os.path.join(work, "trace.log.2")
shutil.copy(logs["sw-west"], rotated)
run("--export-dir", os.path.join(work, "named"), "--date", "2026-12-08", rotated)
check("the switch's default name", os.path.isdir(os.path.join(work, "named", "messages", "date=2026-12-08", "switch=trace")))
p = run("--export-dir", export, "--by", "cic:8", logs["sw-west"])
check("--by other than an interval is refused with --export-dir", p.returncode == 2 and "--by" in p.stderr, p.stderr)

# The two switches in one --merge run: each KPI interval is one switch's, dated on its own time
# line and filed under it; the figures are those of the runs of each log alone.
merged = os.path.join(work, "merged")
parts = []
for switch, log in logs.items():
    parts.append(os.path.join(work, f"{switch}.log"))
    shutil.copy(log, parts[-1])
run("--export-dir", merged, "--merge", "--date", "2026-12-08", *parts)
both = duckdb(merged)
got_merged = {(r["switch"], r["interval_start"]): (int(r["seizures"]), int(r["answered"])) for r in both.get("asr", [])}
check("a merged run of two switches: KPI intervals per switch as each alone", got_merged == expected_asr,
      (got_merged, expected_asr))

# Rotated parts read as one run past midnight, dated by their files: each part's rows are of its
# own file's date, not that date plus the midnights crossed before it.
with open(logs["sw-east"], "rb") as f:
    head, _, body = f.read().partition(b"\r\n\r\n")
blocks = [m for m in body.split(b"\r\n\r\n") if m.strip()][:8]


def at_time(block, text):
    lines = block.split(b"\r\n")
    data = next(i for i, line in enumerate(lines) if line[:2].isdigit())
    lines[data] = text + lines[data][len(text):]
    return b"\r\n".join(lines)


night = os.path.join(work, "night")
os.mkdir(night)
for name, times, stamp in (("trace.log.1", [b"23:59:5%d.00" % i for i in range(4)], "2026-03-01T23:59:59"),
                           ("trace.log", [b"00:00:0%d.00" % i for i in range(4)], "2026-03-02T00:00:05")):
    chosen = blocks[:4] if name.endswith(".1") else blocks[4:]
    with open(os.path.join(night, name), "wb") as f:
        f.write(head + b"\r\n\r\n" + b"".join(at_time(b, t) + b"\r\n\r\n" for b, t in zip(chosen, times)))
    seconds = __import__("datetime").datetime.fromisoformat(stamp).timestamp()
    os.utime(os.path.join(night, name), (seconds, seconds))
run("--stats", "--merge", "--export-dir", os.path.join(night, "out"), os.path.join(night, "trace.log.1"),
    os.path.join(night, "trace.log"))
dates = sorted(os.listdir(os.path.join(night, "out", "messages")))
check("rotated parts past midnight: each dated by its file", dates == ["date=2026-03-01", "date=2026-03-02"], dates)

shutil.rmtree(work)
check.exit()
