#!/usr/bin/env python3
"""Packet captures read by the tool, checked from the outside on the real captures
(tests/captures) against the logs of the same messages (tests/golden): each capture gives its
log's records byte for byte (an ISUP capture as its log in the two-octet form read with
--cic-octets 2); gzip and standard input read the same; a capture without ISUP or BICC ends as a
log without messages; --local-pc chooses the direction; the tool's own --pcap output reads back
as the log it came from; any number of jobs gives the same bytes.

Usage: captures-test.py TOOL SOURCE_DIR
"""
import csv
import gzip
import io
import importlib.util
import json
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks  # noqa: E402

tool, src = sys.argv[1:3]
captures = os.path.join(src, "tests", "captures")
golden = os.path.join(src, "tests", "golden")
work = tempfile.mkdtemp()
check = Checks()
# The Windows build (run under Wine) refuses --export-dir and -f: there the test checks that it says so.
windows = os.environ.get("TRUNO_WINDOWS_BUILD") == "1"

loader_of = importlib.util.spec_from_file_location("cic_two_octets", os.path.join(src, "scripts", "cic-two-octets.py"))
converter = importlib.util.module_from_spec(loader_of)
loader_of.loader.exec_module(converter)


def run(*args, stdin=None):
    return subprocess.run([tool, *args], capture_output=True, input=stdin)


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a.splitlines(), b.splitlines())):
        if x != y:
            return f"line {i + 1}: {x!r} != {y!r}"
    return f"lengths {len(a)} and {len(b)}"


REAL = [  # capture, its log, ISUP (two-octet circuit codes)
    ("isup-m3ua-calls-470.cap", "isup-m3ua-calls-470.log", True),
    ("isup-m3ua-call-6.pcap", "isup-m3ua-call-6.log", True),
    ("isup-m2pa-call-6.pcap", "isup-m2pa-call-6.log", True),
    ("bicc-iam-app-1.pcap", "bicc-iam-app-1.log", False),
]

for capture, log, isup in REAL:
    capture_path, log_path = os.path.join(captures, capture), os.path.join(golden, log)
    if isup:
        two = os.path.join(work, log)
        with open(log_path, "rb") as f, open(two, "wb") as out:
            out.write(converter.convert(f.read()))
        from_log = run("--cic-octets", "2", two)
    else:
        from_log = run(log_path)
    from_capture = run(capture_path)
    check(f"{capture}: its log's records byte for byte", from_log.stdout and from_capture.stdout == from_log.stdout,
          first_difference(from_capture.stdout, from_log.stdout))
    check(f"{capture}: every message decoded, as from its log", b" 0 not decoded" in from_capture.stderr
          and from_capture.returncode == from_log.returncode, from_capture.stderr)
    with open(capture_path, "rb") as f:
        data = f.read()
    piped = run("-", stdin=gzip.compress(data))
    check(f"{capture}: gzip-compressed on standard input reads the same", piped.stdout == from_capture.stdout)
    as_json = run("--format", "json", capture_path).stdout
    for jobs in ("2", "4"):
        check(f"{capture}: -j{jobs} gives the same bytes", run("-j", jobs, capture_path).stdout == from_capture.stdout)
        check(f"{capture}: -j{jobs} gives the same JSON", run("-j", jobs, "--format", "json", capture_path).stdout == as_json)

# The summary counts the packets, and says what it could not read.
big = run(os.path.join(captures, "isup-m3ua-calls-470.cap"))
check("the summary counts packets and messages",
      b"capture: 810 packets, 423 with ISUP or BICC; 470 messages (470 ISUP, 0 BICC); 0 retransmissions dropped; "
      b"387 packets of other protocols" in big.stderr, big.stderr)

for capture in ("no-isup-sccp-m3ua.cap", "no-isup-tcap-mtp2.pcap"):
    result = run(os.path.join(captures, capture))
    check(f"{capture}: no ISUP or BICC, said, exit as a log without messages",
          result.returncode == 1 and result.stdout == b"" and b"holds no ISUP or BICC message" in result.stderr,
          result.stderr)

# A capture cut short keeps its complete packets and says so.
with open(os.path.join(captures, "isup-m3ua-call-6.pcap"), "rb") as f:
    data = f.read()
cut = run("-", stdin=data[:-10])
check("a capture cut short: complete packets kept, said", cut.stdout.count(b"RECORD ") == 5
      and b"cut short" in cut.stderr and cut.returncode == 1, cut.stderr)

# A packet that cannot be read is named with its number and layer; the others are decoded.
with open(m2pa_path := os.path.join(captures, "isup-m2pa-call-6.pcap"), "rb") as f:
    damaged = bytearray(f.read())
first_chunk = 24 + 16 + 14 + 20 + 12  # file and packet headers, Ethernet, IPv4, SCTP common header
damaged[first_chunk + 2:first_chunk + 4] = (900).to_bytes(2, "big")
result = run("-", stdin=bytes(damaged))
check("a damaged packet is named, the others decoded",
      result.stdout.count(b"RECORD ") == 5 and b"packet 1: SCTP chunk length 900 runs past" in result.stderr
      and result.returncode == 1, result.stderr)

# Several captures as one run: records numbered on, calls over both; the export folder dated by
# the packets themselves; the HTML report.
merged = run("--merge", "--summary", os.path.join(captures, "isup-m3ua-call-6.pcap"), m2pa_path)
check("--merge of two captures numbers the records on", merged.stdout.count(b"\n") == 13
      and b"      12  " in merged.stdout, merged.stdout)
export = os.path.join(work, "export")
exported = run("--export-dir", export, m2pa_path)
days = sorted(d for _, dirs, _ in os.walk(export) for d in dirs if d.startswith("date="))
if windows:
    check("--export-dir is refused by the Windows build", exported.returncode == 2
          and b"not available on Windows" in exported.stderr, exported.stderr)
else:
    check("--export-dir files the messages under the packets' date", exported.returncode in (0, 1)
          and set(days) == {"date=2014-08-21"}, (days, exported.stderr))
html = os.path.join(work, "report.html")
check("--html of a capture", run("--html", html, m2pa_path).returncode in (0, 1) and os.path.getsize(html) > 1000)

# The direction: this side is the first message's OPC, or the point codes given.
m2pa = os.path.join(captures, "isup-m2pa-call-6.pcap")
default_dirs = [l.split(b"DIR=")[1][:1] for l in run(m2pa).stdout.splitlines() if b"DIR=" in l]
given = [l.split(b"DIR=")[1][:1] for l in run("--local-pc", "15392", m2pa).stdout.splitlines() if b"DIR=" in l]
dotted = [l.split(b"DIR=")[1][:1] for l in run("--local-pc", "7-132-0", m2pa).stdout.splitlines() if b"DIR=" in l]
check("DIR: S from the first message's OPC by default", default_dirs == [b"S", b"R", b"R", b"R", b"R", b"S"], default_dirs)
check("DIR: --local-pc names this side", given == [b"R", b"S", b"S", b"S", b"S", b"R"], given)
check("DIR: --local-pc in 3-8-3 parts", dotted == given, dotted)
check("--local-pc refuses a point code past 14 bits", run("--local-pc", "16384", m2pa).returncode == 2)

# The tool's own capture output reads back as the log it came from.
pcap = os.path.join(work, "back.pcapng")
log470 = os.path.join(golden, "isup-m3ua-calls-470.log")
written = run("--pcap", pcap, log470)
back = run(pcap)
check("--pcap output reads back as its log", written.stdout and back.stdout == written.stdout,
      first_difference(back.stdout, written.stdout))

# A capture still being written (tcpdump -w FILE -U) is followed: each packet goes out once it is
# whole, though the file stops in the middle of the next.
def pcap_packets(data):
    order = "<" if data[:4] in (b"\xd4\xc3\xb2\xa1", b"\x4d\x3c\xb2\xa1") else ">"
    at, ends = 24, []
    while at + 16 <= len(data):
        at += 16 + struct.unpack_from(order + "I", data, at + 8)[0]
        ends.append(at)
    return ends


with open(os.path.join(captures, "isup-m3ua-call-6.pcap"), "rb") as f:
    data = f.read()
ends = pcap_packets(data)
if windows:
    refused = run("-f", os.path.join(captures, "isup-m3ua-call-6.pcap"))
    check("-f is refused by the Windows build", refused.returncode == 2
          and b"not available on Windows" in refused.stderr, refused.stderr)
else:
    growing = os.path.join(work, "growing.pcap")
    seen = os.path.join(work, "followed.txt")
    with open(growing, "wb") as f:
        f.write(data[:ends[2] + 20])  # three packets and the start of the fourth
    with open(seen, "wb") as out:
        follower = subprocess.Popen([tool, "-f", "--settle", "1", "--summary", growing], stdout=out, stderr=subprocess.PIPE)
        time.sleep(2.5)
        with open(seen, "rb") as f:
            early = f.read().count(b"\n")
        with open(growing, "ab") as f:
            f.write(data[ends[2] + 20:])
        time.sleep(2.5)
        follower.send_signal(signal.SIGINT)
        _, followed_err = follower.communicate(timeout=20)
    with open(seen, "rb") as f:
        followed = f.read()
    check("-f on a growing capture: its whole packets go out as they come", early == 4, early)  # heading and 3 lines
    check("-f on a growing capture: the rest once written", followed.count(b"\n") == 7 and b"6 messages found" in followed_err,
          (followed, followed_err))

# Two trunks: the call of the M2PA capture on circuit 15 between 3684 and 15392, and the same call
# on circuit 15 between 3684 and 999, interleaved in one MTP3 capture (link type 141).
def mtp3_pcap(messages, si=lambda k: 5):
    out = struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 141)
    for k, (seconds, opc, dpc, octets) in enumerate(messages):
        label = dpc | opc << 14 | 5 << 28
        frame = bytes([0x80 | si(k)]) + struct.pack("<I", label) + octets
        out += struct.pack("<IIII", seconds, 0, len(frame), len(frame)) + frame
    return out


call = [json.loads(l) for l in run("--format", "json", m2pa).stdout.splitlines()]
two = []
for k, m in enumerate(call):
    octets = bytes(int(o, 16) for o in m["octets"])
    two.append((1000 + 2 * k, m["opc"], m["dpc"], octets))
    other = (999 if m["opc"] == 15392 else m["opc"], 999 if m["dpc"] == 15392 else m["dpc"])
    two.append((1001 + 2 * k, *other, octets))
trunks = os.path.join(work, "two-trunks.pcap")
with open(trunks, "wb") as f:
    f.write(mtp3_pcap(two))
calls = [json.loads(l) for l in run("--calls", "--format", "json", trunks).stdout.splitlines()]
check("two trunks: code 15 on each route is a call of its own",
      sorted((c["route"], c["cic"], c["outcome"], c["messages"]) for c in calls)
      == [("3684-15392", 15, "answered", 6), ("999-3684", 15, "answered", 6)], calls)
kpis = run("--kpi", "--by", "route", trunks).stdout.decode()
check("--kpi --by route: a group per route", "3684-15392" in kpis and "999-3684" in kpis, kpis)
circuits = run("--circuits", trunks).stdout.decode()
check("--circuits names each circuit's route",
      "ROUTE" in circuits and "3684-15392" in circuits and "999-3684" in circuits and "2 circuits" in circuits, circuits)
calls_text = run("--calls", trunks).stdout.decode()
check("--calls names each call's route", calls_text.startswith("ROUTE") and "999-3684" in calls_text, calls_text)
# The second trunk's ACM cut short: not decoded, a finding on that route.
cut_two = list(two)
cut_two[3] = cut_two[3][:3] + (cut_two[3][3][:4],)
with open(trunks, "wb") as f:
    f.write(mtp3_pcap(cut_two))
findings = [json.loads(l) for l in run("--checks", "--format", "json", trunks).stdout.splitlines()]
check("--checks names the route of a finding", any(f.get("route") == "999-3684" and f["kind"] == "not-decoded"
                                                    for f in findings), findings)
checks_text = run("--checks", trunks).stdout.decode()
check("--checks text has a ROUTE column", "ROUTE" in checks_text.splitlines()[0] and "999-3684" in checks_text, checks_text)
csv_rows = list(csv.reader(io.StringIO(run("--circuits", "--format", "csv", trunks).stdout.decode())))
check("--circuits --format csv: a route column", csv_rows[0][-1] == "route"
      and sorted(r[-1] for r in csv_rows[1:]) == ["3684-15392", "999-3684"], csv_rows)
check("a log's CSV has no capture columns", "route" not in run("--calls", "--format", "csv", log470).stdout.decode()
      .splitlines()[0] and "opc" not in run("--format", "csv", log470).stdout.decode().splitlines()[0])
log_calls = run("--calls", log470).stdout.decode()
check("a log's calls have no route column", not log_calls.startswith("ROUTE"), log_calls[:200])

# One capture of ISUP and BICC: each message in its own mode, its code line of that mode.
bicc = [json.loads(l) for l in run("--format", "json", os.path.join(captures, "bicc-iam-app-1.pcap")).stdout.splitlines()]
mixed_messages = [two[0], (1002, 7, 8, bytes(int(o, 16) for o in bicc[0]["octets"]))]
mixed = os.path.join(work, "mixed.pcap")
with open(mixed, "wb") as f:
    f.write(mtp3_pcap(mixed_messages, si=lambda k: 5 if k == 0 else 13))
mixed_run = run(mixed)
lines = mixed_run.stdout.decode().splitlines()
check("ISUP and BICC in one capture: each decoded in its own mode",
      b"2 decoded, 0 not decoded" in mixed_run.stderr and b"(1 ISUP, 1 BICC)" in mixed_run.stderr
      and any(l.startswith("CIRCUIT IDENTIFICATION CODE (CIC)") and l.endswith("=15") for l in lines)
      and any(l.startswith("BICC CALL INSTANCE CODE (BCIC)") for l in lines), mixed_run.stderr)
check("--format json: cic_octets follows each message's mode",
      [json.loads(l)["cic_octets"] for l in run("--format", "json", mixed).stdout.splitlines()] == [2, 4])

# tshark agrees on each message's point codes, circuit code and type (the M3UA draft capture
# with tshark's preference for that draft; TSN analysis off, as the M2PA capture reuses its TSNs).
TSHARK_OPTIONS = {"isup-m3ua-call-6.pcap": ["-o", "m3ua.version:Internet Draft version 6"]}
tshark = shutil.which("tshark")
check("tshark is installed (scripts/setup.sh)", tshark is not None)
for capture, _, isup in REAL if tshark else []:
    path = os.path.join(captures, capture)
    fields = ["-e", "mtp3.opc", "-e", "mtp3.dpc", "-e", "m3ua.protocol_data_opc", "-e", "m3ua.protocol_data_dpc",
              "-e", "isup.cic" if isup else "bicc.cic", "-e", "isup.message_type"]
    out = subprocess.run([tshark, "-n", "-o", "sctp.tsn_analysis:FALSE", *TSHARK_OPTIONS.get(capture, []), "-r", path,
                          "-T", "fields", "-E", "occurrence=a", *fields], capture_output=True, text=True).stdout
    theirs = []
    for line in out.splitlines():
        mtp_opc, mtp_dpc, m3ua_opc, m3ua_dpc, cics, types = (line.split("\t") + [""] * 6)[:6]
        opcs, dpcs = (m3ua_opc or mtp_opc).split(","), (m3ua_dpc or mtp_dpc).split(",")
        if not cics:
            continue
        for k, (cic, kind) in enumerate(zip(cics.split(","), types.split(","))):
            theirs.append((int(opcs[min(k, len(opcs) - 1)]), int(dpcs[min(k, len(dpcs) - 1)]), int(cic), int(kind)))
    ours = [(m["opc"], m["dpc"], m["cic"], m["code"]) for m in
            map(json.loads, run("--format", "json", path).stdout.splitlines())]
    check(f"{capture}: tshark agrees on point codes, circuit code and type of {len(ours)} messages",
          ours and ours == theirs, [x for x in zip(ours, theirs) if x[0] != x[1]][:3] or (len(ours), len(theirs)))

check.exit()
