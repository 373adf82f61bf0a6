#!/usr/bin/env python3
"""ISUP traces (two-octet circuit codes, --cic-octets 2) checked from the outside on the real
captures: written in the two-octet form (scripts/cic-two-octets.py), each gives the records of the
four-octet form apart from the line after the banner, whose code is the message's own, and the
same calls; a log read in the wrong mode is named as such in either direction; the capture file of
the two-octet form is read back by tshark as ISUP with each message's circuit code and type; the
mode gives the same bytes with any number of jobs.

Usage: isup-test.py TOOL SOURCE_DIR REAL_LOGS_DIR (tests/golden holds the real captures)
"""
import glob
import importlib.util
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

tool, src, real = sys.argv[1:4]
work = tempfile.mkdtemp()
failures = 0

loader_of = importlib.util.spec_from_file_location("cic_two_octets", os.path.join(src, "scripts", "cic-two-octets.py"))
converter = importlib.util.module_from_spec(loader_of)
loader_of.loader.exec_module(converter)


def check(name, condition, detail=""):
    global failures
    print(("ok   " if condition else "FAIL ") + name + ("" if condition or not detail else ": " + str(detail)[:600]))
    failures += 0 if condition else 1


def run(*args):
    return subprocess.run([tool, *args], capture_output=True)


CODE_LINE = re.compile(rb"^(BICC CALL INSTANCE CODE \(BCIC\)|CIRCUIT IDENTIFICATION CODE \(CIC\))\.*=(.*)$", re.M)
WARNS = re.compile(rb"with --cic-octets (\d)")

logs = sorted(glob.glob(os.path.join(real, "isup-m*-call*.log")))
check("real ISUP captures are there", len(logs) >= 3, real)
for log in logs:
    name = os.path.basename(log)
    two = os.path.join(work, name)
    with open(log, "rb") as f, open(two, "wb") as out:
        out.write(converter.convert(f.read()))

    four_report, two_report = run(log), run("--cic-octets", "2", two)
    messages = [json.loads(l) for l in run("--format", "json", log).stdout.splitlines()]
    two_messages = [json.loads(l) for l in run("--cic-octets", "2", "--format", "json", two).stdout.splitlines()]
    check(f"{name}: every message decodes in both forms",
          messages and all(m["decoded"] for m in messages) and len(two_messages) == len(messages)
          and all(m["decoded"] for m in two_messages))
    check(f"{name}: same records apart from the code line",
          CODE_LINE.sub(b"", four_report.stdout) == CODE_LINE.sub(b"", two_report.stdout))
    codes = [int(v) for _, v in CODE_LINE.findall(two_report.stdout)]
    check(f"{name}: the CIC line holds each message's own code",
          codes == [m["cic"] for m in messages] and all(l.startswith(b"CIRCUIT") for l, _ in CODE_LINE.findall(two_report.stdout)),
          (codes[:5], [m["cic"] for m in messages][:5]))
    check(f"{name}: JSON says the mode and keeps codes and types",
          [(m["cic"], m["type"], 2) for m in messages] == [(m["cic"], m["type"], m["cic_octets"]) for m in two_messages]
          and all(m["cic_octets"] == 4 for m in messages))
    check(f"{name}: same calls",
          run("--calls", "--format", "json", log).stdout == run("--cic-octets", "2", "--calls", "--format", "json", two).stdout)

    # The wrong mode, both ways: most messages fail and the summary names the option that decodes them.
    wrong = run(two)
    check(f"{name}: two-octet form read as BICC names --cic-octets 2",
          wrong.returncode == 1 and WARNS.findall(wrong.stderr) == [b"2"] and b"ISUP trace" in wrong.stderr, wrong.stderr)
    wrong = run("--cic-octets", "2", log)
    check(f"{name}: four-octet form read as ISUP names --cic-octets 4",
          wrong.returncode == 1 and WARNS.findall(wrong.stderr) == [b"4"], wrong.stderr)
    # (The M2PA capture's messages carry two octets after their end, which the summary names:
    # that warning is not the mode's.)
    check(f"{name}: no mode warning in the right mode, the same exit status in both forms",
          four_report.returncode == two_report.returncode and not WARNS.search(two_report.stderr + four_report.stderr))

    # Several jobs, the same bytes and summary.
    jobs = run("--cic-octets", "2", "-j3", two)
    check(f"{name}: --jobs gives the same bytes in ISUP mode", jobs.stdout == two_report.stdout and jobs.stderr == two_report.stderr)
    wrong_jobs = run("-j3", two)
    check(f"{name}: --jobs gives the same warning", wrong_jobs.stderr == run(two).stderr)

    # The capture file of the two-octet form, read back by tshark as ISUP.
    tshark = shutil.which("tshark")
    if tshark is None:
        check("tshark is installed (scripts/setup.sh)", False)
        continue
    pcap = os.path.join(work, name + ".pcap")
    run("--cic-octets", "2", "--pcap", pcap, "--date", "2024-01-02", "--summary", two)
    p = subprocess.run([tshark, "-r", pcap, "-T", "fields", "-e", "frame.protocols", "-e", "isup.cic",
                        "-e", "isup.message_type"], capture_output=True, text=True)
    packets = [line.split("\t") for line in p.stdout.splitlines()]
    check(f"{name}: tshark reads ISUP with each message's code and type",
          [(pr.split(":")[1:2] == ["isup"], int(c), int(t)) for pr, c, t in packets]
          == [(True, m["cic"], m["code"]) for m in two_messages], (packets[:3], p.stderr[:200]))

# The spare bits of a two-octet code make the record not decoded, with the reason naming them.
p = run("--cic-octets", "2", "--format", "json", "--records", "13", os.path.join(src, "tests", "golden", "isup-circuit-messages.log"))
record = json.loads(p.stdout)
check("set spare bits: not decoded, named", not record["decoded"] and "spare bits" in record["reason"]
      and record["failure"] == "circuit code spare bits" and record["cic"] == 5, record)

shutil.rmtree(work)
sys.exit(1 if failures else 0)
