#!/usr/bin/env python3
"""Builds the fuzz seed corpora from the golden logs and the sample log.

run/        the logs as they are, and gzip-compressed
message/    each log's messages as raw octets, messages separated by FE FE
parameters/ each optional parameter as code octet + contents, one file per parameter

The corpora in the repository were then extended with what long fuzzing runs found, minimised
with libFuzzer's -merge=1 (each file adds coverage the others lack):
    FuzzParameters -merge=1 NEW_DIR tests/fuzz/corpus/parameters LONG_RUN_CORPUS
"""
import gzip
import hashlib
import pathlib
import re

root = pathlib.Path(__file__).resolve().parents[2]
out = root / "tests" / "fuzz" / "corpus"
logs = sorted((root / "tests" / "golden").glob("*.log")) + [root / "examples" / "sample.log"]


def save(kind, data):
    d = out / kind
    d.mkdir(parents=True, exist_ok=True)
    (d / hashlib.sha1(data).hexdigest()[:16]).write_bytes(data)


def messages(text):
    """Octet lists of the messages of a log (DATA column from position 29)."""
    msgs, cur = [], None
    for line in re.split(r"\r\n|\r|\n", text):
        if "TIME        MSG        DIR  DATA" in line:
            cur = []
            continue
        if cur is None:
            continue
        if not line.strip():
            msgs.append(cur)
            cur = None
            continue
        if "TIME" in line and "PAGE" in line:
            continue
        cur += [o for o in line[28:128].strip().split("  ") if re.fullmatch(r"[0-9A-F]{2}", o)]
    if cur:
        msgs.append(cur)
    return msgs


seen_params = set()
for log in logs:
    raw = log.read_bytes()
    if len(raw) < 20000:
        save("run", raw)
        save("run", gzip.compress(raw, mtime=0))
    msgs = messages(raw.decode("latin-1"))
    blob = b"\xfe\xfe".join(bytes(int(o, 16) for o in m) for m in msgs[:40])
    save("message", blob)
    for m in msgs[:40]:
        save("message", bytes(int(o, 16) for o in m))
        # Optional parameters after a pointer: a rough walk is enough for seeds.
        octets = [int(o, 16) for o in m]
        for start in range(5, len(octets) - 2):
            code, length = octets[start], octets[start + 1]
            body = octets[start + 2:start + 2 + length]
            if code and len(body) == length and (code, tuple(body)) not in seen_params and length < 64:
                seen_params.add((code, tuple(body)))
                save("parameters", bytes([code] + body))
print(sum(1 for _ in out.rglob("*") if _.is_file()), "seed files")
