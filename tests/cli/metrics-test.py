#!/usr/bin/env python3
"""--metrics served by the real thing: Debian's prometheus-node-exporter on a loopback port, its
textfile collector on a temporary folder, scraped over HTTP while truno-decode follows a
generated log as it is written; the scraped figures are held against the tool's own --stats,
--kpi, --checks and --circuits of the same messages, promtool accepts the file, and a --merge
run over two switches gives each switch the figures of its log read alone.

Usage: metrics-test.py TOOL LOGGEN
"""
import collections
import json
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks, runner  # noqa: E402

tool, loggen = sys.argv[1:3]
check = Checks()
run = runner(tool, "-q", text=True)
work = tempfile.mkdtemp()
textfiles = os.path.join(work, "textfiles")
os.mkdir(textfiles)
live = os.path.join(work, "trunk.log")
metrics = os.path.join(textfiles, "truno.prom")

SAMPLE = re.compile(r'^(\w+)(?:\{(.*)\})? (\S+)$')
LABEL = re.compile(r'(\w+)="((?:[^"\\]|\\.)*)"')


def parse(text):
    """{(name, ((label, value), ...)): value} of the samples of a text exposition."""
    samples = {}
    for line in text.splitlines():
        if line.startswith("#") or not line.strip():
            continue
        m = SAMPLE.match(line)
        if m:
            samples[(m[1], tuple(sorted(LABEL.findall(m[2] or ""))))] = float(m[3])
    return samples


def of(samples, name, **labels):
    """The samples of `name` whose labels include `labels`, by their other labels."""
    found = {}
    for (n, ls), v in samples.items():
        d = dict(ls)
        if n == name and all(d.get(k) == v2 for k, v2 in labels.items()):
            found[tuple((k, x) for k, x in ls if k not in labels)] = v
    return found


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


port = free_port()
exporter = subprocess.Popen(["prometheus-node-exporter", f"--web.listen-address=127.0.0.1:{port}",
                             "--collector.disable-defaults", "--collector.textfile",
                             f"--collector.textfile.directory={textfiles}"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def scrape():
    try:
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/metrics", timeout=5) as r:
            return parse(r.read().decode())
    except OSError:
        return {}


def wait_for(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        samples = scrape()
        if samples and condition(samples):
            return samples
        time.sleep(0.2)
    return scrape()


def message_count(samples):
    return sum(of(samples, "truno_messages_total").values())


def expected_types(log):
    stats = json.loads(run("--stats", "--format", "json", log).stdout)
    return stats["messages"], {(t["type"] or "none", t["direction"]): t["count"] for t in stats["types"]}


def scraped_types(samples, switch):
    return {(dict(k)["type"], dict(k)["direction"]): v for k, v in of(samples, "truno_messages_total", switch=switch).items()}


# A generated log of several 15-minute intervals, written in two parts while the tool follows it.
log = subprocess.run([loggen, "20000", "7"], capture_output=True, check=True).stdout
cut = log.index(b"\r\n\r\n", len(log) * 3 // 5) + 4
first_part = os.path.join(work, "first.log")
with open(first_part, "wb") as f:
    f.write(log[:cut])
with open(live, "wb") as f:
    f.write(log[:cut])
switch = "trunk"
follower = subprocess.Popen([tool, "-q", "-F", "--settle", "0.3", "--interval", "1", "--metrics", metrics, live],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

count, types = expected_types(first_part)
samples = wait_for(lambda s: message_count(s) == count, 30)
check("while following: the exporter serves the file written when the log falls quiet", message_count(samples) == count,
      (message_count(samples), count))
check("while following: messages per type and direction as --stats of what was written",
      scraped_types(samples, switch) == types, (scraped_types(samples, switch), types))
check("the textfile collector reads the file without error",
      of(samples, "node_textfile_scrape_error") == {(): 0.0}, of(samples, "node_textfile_scrape_error"))
seized_before = of(samples, "truno_seizures_total", switch=switch).get((), 0)
check("while following: seizures are counted as their calls end", 0 < seized_before, seized_before)

# The rest comes in pieces, never quiet for the settle time: the file is replaced at the interval.
seen = set()
files = set()
first_count = count
rest = log[cut:]
step = len(rest) // 40 + 1
began = time.monotonic()
for at in range(0, len(rest), step):
    with open(live, "ab") as f:
        f.write(rest[at:at + step])
    for _ in range(2):
        time.sleep(0.05)
        files.add(os.stat(metrics).st_ino)
    seen.add(message_count(scrape()))
seconds = time.monotonic() - began
count, types = expected_types(live)
between = {n for n in seen if first_count < n < count}
samples = wait_for(lambda s: message_count(s) == count, 30)
check("the rest of the log reaches the exporter", message_count(samples) == count, (message_count(samples), count))
check("while messages come, the file is replaced at every interval (once a second), no more often",
      len(between) >= 2 and 3 <= len(files) <= seconds + 2, (sorted(seen), len(files), seconds))
follower.send_signal(signal.SIGINT)
_, err = follower.communicate(timeout=30)
check("Ctrl+C ends the run", follower.returncode in (0, 1), (follower.returncode, err[-400:]))
# The figures at the end equal the tool's own views of the whole log.
samples = scrape()
kpi = json.loads(run("--kpi", "--by", "15m", "--format", "json", live).stdout)
total = kpi["total"]
check("messages per type and direction as --stats", scraped_types(samples, switch) == types)
for name, member in (("truno_seizures_total", "seizures"), ("truno_answered_total", "answered"),
                     ("truno_reached_user_total", "reached_user")):
    got = of(samples, name, switch=switch).get(())
    check(f"{name} equals --kpi's {member}", got == total[member], (got, total[member]))
releases = {dict(k)["cause"]: v for k, v in of(samples, "truno_releases_total", switch=switch).items()}
check("releases by cause value as --kpi's", releases == {str(c["value"]): c["count"] for c in total["causes"]},
      releases)
classes = collections.Counter()
for k, v in of(samples, "truno_releases_total", switch=switch).items():
    classes[dict(k)["class"].replace("_", " ")] += v
check("releases by class as --kpi's",
      {c: n for c, n in classes.items()} == {c: n for c, n in total["causes_by_class"].items() if n},
      (classes, total["causes_by_class"]))
# The last interval that ended before the log's last message.
start = of(samples, "truno_interval_start_seconds", switch=switch).get(())
groups = {g["group"]: g for g in kpi["groups"]}
ended = [g for g in kpi["groups"] if g["group"][:2].isdigit()][-2]
name = "%02d:%02d:00.000" % (start // 3600, start % 3600 // 60) if start is not None else None
check("the last interval is the last that ended", name == ended["group"], (name, ended["group"]))
last = groups.get(name, {})
for metric, member in (("truno_asr_ratio", "asr"), ("truno_ner_ratio", "ner")):
    got = of(samples, metric, switch=switch).get(())
    want = last.get(member, {}).get("percent")
    check(f"{metric} is --kpi's {member} of that interval", got is not None and want is not None and
          abs(got * 100 - want) < 0.006, (got, want))
got = of(samples, "truno_carried_erlangs", switch=switch).get(())
check("carried erlangs of that interval as --kpi's", got is not None and abs(got - last.get("erlangs", -1)) < 0.0001,
      (got, last.get("erlangs")))
findings = collections.Counter(json.loads(line)["kind"] for line in run("--checks", "--format", "json", live).stdout.splitlines())
scraped = {dict(k)["kind"]: v for k, v in of(samples, "truno_findings_total", switch=switch).items()}
check("findings by kind as --checks' (every kind, found or not)",
      {k: v for k, v in scraped.items() if v} == findings and len(scraped) >= len(findings) and findings,
      (scraped, findings))
states = collections.Counter()
for line in run("--circuits", "--format", "json", live).stdout.splitlines():
    c = json.loads(line)
    states["busy" if c["busy"] else "awaiting_release_complete" if c["waiting_for_rlc"] else "idle"] += 1
    states["local"] += c["blocked_locally_maintenance"] or c["blocked_locally_hardware"]
    states["remote"] += c["blocked_remotely_maintenance"] or c["blocked_remotely_hardware"]
scraped = {dict(k)["state"]: v for k, v in of(samples, "truno_circuits", switch=switch).items() if v}
scraped.update({dict(k)["side"]: v for k, v in of(samples, "truno_circuits_blocked", switch=switch).items() if v})
check("circuits by state and blocked by side as --circuits'", scraped == dict(states) and states["remote"],
      (scraped, states))
check("calls in progress are the busy circuits",
      of(samples, "truno_calls_in_progress", switch=switch).get(()) == states["busy"])
p = subprocess.run(["promtool", "check", "metrics"], stdin=open(metrics, "rb"), capture_output=True, text=True)
check("promtool check metrics accepts the file", p.returncode == 0, p.stdout + p.stderr)
check("no temporary file is left beside it", os.listdir(textfiles) == ["truno.prom"], os.listdir(textfiles))
exporter.terminate()
exporter.wait(timeout=10)

# Two switches read as one run: each switch's figures are those of its log alone.
east, west = os.path.join(work, "east.log"), os.path.join(work, "west.log")
for path, seed, route in ((east, "3", b"RT1"), (west, "4", b"RT9")):
    with open(path, "wb") as f:
        data = subprocess.run([loggen, "3000", seed], capture_output=True, check=True).stdout
        f.write(data.replace(b"RT1 ", route + b" ", 1))
alone = {}
for path in (east, west):
    run("--metrics", os.path.join(work, "alone.prom"), path)
    alone[os.path.basename(path)[:-4]] = parse(open(os.path.join(work, "alone.prom")).read())
run("--merge", "--metrics", os.path.join(work, "merged.prom"), east, west)
merged = parse(open(os.path.join(work, "merged.prom")).read())
for s in ("east", "west"):
    for metric in ("truno_messages_total", "truno_seizures_total", "truno_releases_total", "truno_findings_total",
                   "truno_asr_ratio", "truno_circuits"):
        check(f"--merge: {metric} of {s} as its log alone", of(merged, metric, switch=s) == of(alone[s], metric, switch=s)
              and of(merged, metric, switch=s), (of(merged, metric, switch=s), of(alone[s], metric, switch=s)))
check("--merge: each switch with its log's route",
      of(merged, "truno_switch_info") == {(("route", "RT1"), ("switch", "east")): 1.0,
                                         (("route", "RT9"), ("switch", "west")): 1.0}, of(merged, "truno_switch_info"))
run("--jobs", "2", "--metrics", os.path.join(work, "jobs.prom"), east)
check("--jobs 2 writes the figures of one thread (the route included)",
      parse(open(os.path.join(work, "jobs.prom")).read()) == alone["east"])
p = run("--metrics", os.path.join(work, "x.prom"), east, west)
check("--metrics of several files without --merge is refused", p.returncode == 2 and "--merge" in p.stderr, p.stderr)
p = run("--metrics", os.path.join(work, "no-such-folder", "x.prom"), east)
check("a metrics file that cannot be written fails the run", p.returncode == 2 and "no-such-folder" in p.stderr,
      p.stderr)

check.exit()
