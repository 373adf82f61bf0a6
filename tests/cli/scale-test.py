#!/usr/bin/env python3
"""The recipe of docs/scale.md with local jobs: GNU parallel runs one truno-decode per file, all
at once into one export folder and one partition; the export holds exactly the rows that one
run per file, one after the other, writes (part files may differ, their rows may not), and no
part is lost to two jobs taking the same number.

Usage: scale-test.py TOOL SOURCE_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from toolcheck import Checks, write  # noqa: E402

tool, src = sys.argv[1:3]
check = Checks()
work = tempfile.mkdtemp()
with open(os.path.join(src, "tests", "golden", "isup-m3ua-calls-470.log"), "rb") as f:
    head, _, body = f.read().partition(b"\r\n\r\n")
head += b"\r\n\r\n"
messages = [m + b"\r\n\r\n" for m in body.split(b"\r\n\r\n") if m.strip()]
files = [write(work, f"part{i}.log", head + b"".join(messages[i::6])) for i in range(6)]


def rows(folder):
    """Every row of every part, sorted (the part a row is in does not matter)."""
    out = []
    for directory, _, names in os.walk(folder):
        for name in names:
            data = subprocess.run(["zstd", "-dc", os.path.join(directory, name)], capture_output=True).stdout
            kind = os.path.relpath(directory, folder).split(os.sep)[0]
            out += [(kind, line) for line in data.splitlines()]
    return sorted(out)


command = f"{tool} -q --stats --date 2026-12-08 --switch sw --export-dir {{1}} {{2}} > /dev/null"
together = os.path.join(work, "together")
p = subprocess.run(["parallel", "-j", "6", command, ":::", together, ":::", *files], capture_output=True, text=True)
check("parallel jobs into one folder", p.returncode == 0, p.stderr[-500:])
apart = os.path.join(work, "apart")
for file in files:
    subprocess.run(["sh", "-c", command.replace("{1}", apart).replace("{2}", file)], check=True)
parts = [n for _, _, names in os.walk(os.path.join(together, "messages")) for n in names]
check("one part per job in the shared partition", len(parts) == len(files), parts)
got, expected = rows(together), rows(apart)
check("the parallel export holds the rows of the runs one after the other", got == expected and expected,
      (len(got), len(expected)))

shutil.rmtree(work)
check.exit()
