#!/usr/bin/env python3
"""truno-decode following a log that is being written: a writer appends a real capture's
messages in chunks of random sizes (half lines and half messages included), rotates the log
(rename and a new file), truncates it (copy-truncate) and deletes it while the tool follows it
by name; every message comes out exactly once, the output equals the decode of everything that
was written, read as one log, a message's record comes out within a second of its blank line,
Ctrl+C ends the run with its summary, and memory stays flat over many rotations.

Usage: follow-test.py TOOL GOLDEN_DIR
"""
import os
import random
import select
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks  # noqa: E402

tool, golden = sys.argv[1:3]
check = Checks()
work = tempfile.mkdtemp()
live = os.path.join(work, "live.log")

with open(os.path.join(golden, "isup-m3ua-calls-470.log"), "rb") as f:
    source = f.read()
head, _, body = source.partition(b"\r\n\r\n")
head += b"\r\n\r\n"
messages = [m + b"\r\n\r\n" for m in body.split(b"\r\n\r\n") if m.strip()]


def follower(*args):
    return subprocess.Popen([tool, "--summary", "-F", "--settle", "0.4", *args, live],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def first_line(process, timeout):
    """The first line the process writes within `timeout` seconds, or nothing."""
    out = b""
    end = time.monotonic() + timeout
    while b"\n" not in out and time.monotonic() < end:
        ready, _, _ = select.select([process.stdout], [], [], max(0.0, end - time.monotonic()))
        if not ready:
            break
        chunk = os.read(process.stdout.fileno(), 1)
        if not chunk:
            break
        out += chunk
    return out if b"\n" in out else b""


def append(path, data, rng):
    """Appends in chunks of random sizes, with short pauses (shorter than the settle time)."""
    at = 0
    while at < len(data):
        n = rng.randint(1, 700)
        with open(path, "ab") as f:
            f.write(data[at:at + n])
        at += n
        if rng.random() < 0.05:
            time.sleep(0.02)


def records(out):
    return [line.split()[0] for line in out.decode().splitlines()[1:] if line.strip()]


# 1. Rotation, truncation and deletion while following by name; what was written, read as one
# log, is the reference.
rng = random.Random(20261209)
written = []
with open(live, "wb") as f:
    f.write(head)
written.append(head)
p = follower()
parts = [messages[:120], messages[120:240], messages[240:360], messages[360:]]
append(live, b"".join(parts[0]), rng)
written.append(b"".join(parts[0]))
time.sleep(0.6)
os.rename(live, live + ".1")  # rotation: the old file renamed, a new one made
append(live, head + b"".join(parts[1]), rng)
written.append(head + b"".join(parts[1]))
time.sleep(0.6)
with open(live, "r+b") as f:  # copy-truncate
    f.truncate(0)
append(live, head + b"".join(parts[2]), rng)
written.append(head + b"".join(parts[2]))
time.sleep(0.6)
os.remove(live)  # deleted: the tool waits for a new file
time.sleep(0.3)
append(live, head + b"".join(parts[3]), rng)
written.append(head + b"".join(parts[3]))
time.sleep(0.8)
p.send_signal(signal.SIGINT)
out, err = p.communicate(timeout=10)
whole = os.path.join(work, "whole.log")
with open(whole, "wb") as f:
    f.write(b"".join(written))
reference = subprocess.run([tool, "-q", "--summary", whole], capture_output=True).stdout
got = records(out)
check("every message once, in order", got == [str(n) for n in range(1, len(messages) + 1)],
      (len(got), got[:3], got[-3:], err.decode(errors="replace")[-300:]))
check("the followed output equals the decode of everything written", out == reference,
      (len(out), len(reference)))
check("Ctrl+C ends the run with its summary",
      p.returncode in (0, 1) and f"{len(messages)} messages found".encode() in err, (p.returncode, err[-300:]))

# 2. Latency: a message's record comes out within a second of its blank line; the last message
# of a log that stops being written goes out after the settle time.
with open(live, "wb") as f:
    f.write(head)
p = follower()
time.sleep(0.3)
first_line(p, 0.3)  # the summary's heading
latencies = []
for message in messages[:5]:
    with open(live, "ab") as f:
        f.write(message)
    start = time.monotonic()
    line = first_line(p, 2.0)
    latencies.append(time.monotonic() - start if line else 99)
check("each record within a second of its message's end", max(latencies) < 1.0, latencies)
with open(live, "ab") as f:
    f.write(messages[5][:-2])  # the last message without its blank line
start = time.monotonic()
line = first_line(p, 3.0)
check("the last message goes out after the settle time", line and 0.3 < time.monotonic() - start < 2.5,
      (line, time.monotonic() - start))


# 2b. --interval: the statistics so far come out while the log is written, and at the end.
with open(live, "wb") as f:
    f.write(head)
q = subprocess.Popen([tool, "-q", "--stats", "--interval", "1", "-F", "--settle", "0.4", live],
                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
for message in messages[:30]:
    with open(live, "ab") as f:
        f.write(message)
    time.sleep(0.1)
time.sleep(0.5)
q.send_signal(signal.SIGINT)
stats_out, _ = q.communicate(timeout=10)
check("--interval: snapshots while following, then the final statistics",
      stats_out.count(b"== so far:") >= 2 and stats_out.rstrip().endswith(b"") and b"Messages: 30" in stats_out,
      stats_out[-400:])

# 3. Memory stays flat over many rotations.
def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def rotate(times):
    for _ in range(times):
        os.rename(live, live + ".1")
        with open(live, "wb") as f:
            f.write(head + b"".join(messages[:40]))
        time.sleep(0.15)
        while first_line(p, 0.05):  # what came out, read so that the pipe never fills
            pass


rotate(10)
before = rss_kib(p.pid)
rotate(30)
after = rss_kib(p.pid)
p.send_signal(signal.SIGINT)
p.communicate(timeout=10)
check("memory flat over many rotations", after <= before + 1024, (before, after))

# 4. Usage: one named file; -f on a file that does not exist.
for args, said in ((["-f", "-"], "one file"), (["-f", live, live], "one file"),
                   (["-f", os.path.join(work, "none.log")], "cannot open")):
    r = subprocess.run([tool, *args], capture_output=True, timeout=10)
    check(f"{' '.join(args)} is refused", r.returncode == 2 and said.encode() in r.stderr, r.stderr)

check.exit()
