#!/usr/bin/env python3
"""Rewrites a trace log whose ISUP messages were written in the four-octet form (the two-octet
circuit identification code followed by two 00 octets) into the two-octet form that
`truno-decode --cic-octets 2` reads: the two 00 octets after the circuit code are dropped from
each message's first data line. Everything else is copied byte for byte (CR LF line ends kept).

Usage: cic-two-octets.py IN.log > OUT.log   (IN.log may be - for standard input)
"""
import sys

HEADER = b"TIME        MSG        DIR  DATA"
DATA_COLUMN = 28  # where DATA begins on a data line


def convert(data: bytes) -> bytes:
    out = []
    expect_first_data_line = False
    for number, line in enumerate(data.splitlines(keepends=True), start=1):
        body = line.rstrip(b"\r\n")
        end = line[len(body):]
        if body.startswith(HEADER):
            expect_first_data_line = True
            out.append(line)
            continue
        if expect_first_data_line and body.strip():
            expect_first_data_line = False
            octets = body[DATA_COLUMN:].split(b"  ")
            if len(octets) < 4 or octets[2] != b"00" or octets[3] != b"00":
                sys.exit(f"line {number}: the first data line does not hold a circuit code and two 00 octets")
            body = body[:DATA_COLUMN] + b"  ".join(octets[:2] + octets[4:])
        out.append(body + end)
    return b"".join(out)


def main() -> None:
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    source = sys.stdin.buffer if sys.argv[1] == "-" else open(sys.argv[1], "rb")
    with source:
        sys.stdout.buffer.write(convert(source.read()))


if __name__ == "__main__":
    main()
