"""What the tests that run truno-decode from the outside share: named checks counted and printed,
the tool run with its output captured, and small logs written from (time, msg, dir, octets)."""
import os
import subprocess
import sys


class Checks:
    def __init__(self, quiet=False):
        self.passes = self.failures = 0
        self.quiet = quiet  # print only the failures

    def __call__(self, name, condition, detail=""):
        if condition:
            self.passes += 1
            if not self.quiet:
                print("ok   " + name)
        else:
            self.failures += 1
            print("FAIL " + name + ("" if not detail else ": " + str(detail)[:600]))
        return condition

    def exit(self):
        print(f"{self.passes} passed, {self.failures} failed")
        sys.exit(1 if self.failures else 0)


def runner(tool, *leading, **defaults):
    """A function that runs the tool with `leading` options before the given ones."""
    def run(*args, **kwargs):
        return subprocess.run([tool, *leading, *args], capture_output=True, **{**defaults, **kwargs})
    return run


HEAD = b"USER       BCIC        DEV                   ROUTE       TSTCALL\r\nX          1\r\n\r\n"


def log_of(messages, page=None):
    """A log of (time, msg, dir, octets) messages, each under its own column header."""
    out = HEAD if page is None else page.encode() + b"\r\n" + HEAD
    for time, msg, direction, octets in messages:
        out += f"TIME        MSG        DIR  DATA\r\n{time:<12}{msg:<11}{direction:<5}{octets}\r\n\r\n".encode()
    return out


def message(time, name, direction, code, rest):
    """One (time, msg, dir, octets) message of log_of: `rest` after the four-octet call instance
    code `code` (least significant octet first, as the log gives it)."""
    cic = " ".join(f"{(code >> s) & 0xFF:02X}" for s in (0, 8, 16, 24))
    return (time, name, direction, "  ".join((cic + " " + rest).split()))


def write(folder, name, data):
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(data)
    return path
