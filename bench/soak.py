#!/usr/bin/env python3
"""A long run of truno-decode following a log by name (-F) while a writer appends a real
capture's messages to it without end, rotates the log (rename and a new file) and now and then
truncates it (copy-truncate): the tool's resident memory is read every few seconds, and at the
end every message written must have come out exactly once. Prints the memory over time as a
Markdown table and exits 1 when a message was lost or doubled or the memory kept growing.

Usage: bench/soak.py TOOL CAPTURE MINUTES [RATE] [VIEW...]
  CAPTURE  a log whose messages are written again and again (e.g. the 470-message capture of
           tests/golden); RATE messages per second (default 500); VIEW the tool's view options
           (default --summary; --calls and --kpi --interval 60 follow calls and circuits too).
"""
import os
import select
import signal
import subprocess
import sys
import tempfile
import time

tool, capture, minutes = sys.argv[1], sys.argv[2], float(sys.argv[3])
rate = float(sys.argv[4]) if len(sys.argv) > 4 else 500.0
view = sys.argv[5:] or ["--summary"]

with open(capture, "rb") as f:
    source = f.read()
head, _, body = source.partition(b"\r\n\r\n")
head += b"\r\n\r\n"
messages = [m + b"\r\n\r\n" for m in body.split(b"\r\n\r\n") if m.strip()]

work = tempfile.mkdtemp()
live = os.path.join(work, "live.log")
with open(live, "wb") as f:
    f.write(head)
tool_process = subprocess.Popen([tool, *view, "-F", "--settle", "0.5", live],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
lines_out = 0
pending = b""


def drain(timeout):
    """Reads what the tool wrote so far (so that its pipe never fills), counting lines."""
    global lines_out, pending
    end = time.monotonic() + timeout
    while True:
        ready, _, _ = select.select([tool_process.stdout], [], [], max(0.0, end - time.monotonic()))
        if not ready:
            return
        chunk = os.read(tool_process.stdout.fileno(), 1 << 16)
        if not chunk:
            return
        lines_out += chunk.count(b"\n")


def rss_kib():
    with open(f"/proc/{tool_process.pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


start = time.monotonic()
deadline = start + minutes * 60
written = 0
rotations = truncations = 0
samples = []
next_sample = start
next_rotation = start + 20
batch = max(1, int(rate / 10))
at = 0
while time.monotonic() < deadline:
    chunk = b"".join(messages[(at + i) % len(messages)] for i in range(batch))
    at += batch
    with open(live, "ab") as f:
        f.write(chunk)
    written += batch
    drain(0.1)
    now = time.monotonic()
    if now >= next_rotation:
        drain(1.0)  # the settle time passes: the last message is complete
        if rotations % 5 == 4:
            with open(live, "r+b") as f:
                f.truncate(0)
            truncations += 1
        else:
            os.rename(live, live + ".1")
        with open(live, "ab") as f:
            f.write(head)
        rotations += 1
        next_rotation = now + 20
    if now >= next_sample:
        samples.append((now - start, rss_kib(), written))
        next_sample = now + 30

drain(2.0)
tool_process.send_signal(signal.SIGINT)
rest, err = tool_process.communicate(timeout=30)
lines_out += rest.count(b"\n")

print(f"{minutes:g} minutes, {written} messages written at about {rate:g}/s, {rotations} rotations "
      f"({truncations} of them copy-truncate), view {' '.join(view)}")
print()
print("| minute | messages written | resident KiB |")
print("|---:|---:|---:|")
for seconds, kib, count in samples[:: max(1, len(samples) // 20)] + samples[-1:]:
    print(f"| {seconds / 60:.1f} | {count} | {kib} |")
settled = [kib for seconds, kib, _ in samples if seconds > 120]
growth = (settled[-1] - settled[0]) if len(settled) > 1 else 0
print()
print(f"resident memory after the first two minutes: {min(settled or [0])}-{max(settled or [0])} KiB "
      f"(last minus first {growth:+d} KiB)")
summary_view = view == ["--summary"]
if summary_view:
    # One line per message (after a heading line per file the tool opens).
    print(f"lines out: {lines_out} for {written} messages")
found = [line for line in err.decode(errors="replace").splitlines() if "messages found" in line]
print(found[-1] if found else err.decode(errors="replace")[-300:])
ok = growth < 2048 and (not summary_view or lines_out >= written) and any(f"{written} messages found" in f for f in found)
sys.exit(0 if ok else 1)
