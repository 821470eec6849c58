#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora into fuzz/corpus/ (run from anywhere).

report/: the sample report and small reports at the reader's edges.
number/: doubles and floats next to the number writer's boundaries.
"""

import os
import shutil
import struct

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)


def block(s, lines):
    return f"Station {s}\n-----\n" + "".join(line + "\n" for line in lines) + "-----\n"


def day(d, base):
    return f"{d} " + " ".join(f"{base + k:.2f} " for k in range(18))


def report(days=2, last=None):
    text = "".join(block(s, [day(j + 1, s * 100 + j) for j in range(days)]) for s in range(18))
    return text + (last if last is not None else block(18, [day(j + 1, 1800 + j) for j in range(days)]))


REPORTS = {
    "two-days.txt": report(),
    "no-days.txt": report(0),
    "thirty-one-days.txt": report(31),
    "thirty-two-days.txt": report(2, block(18, [day(j + 1, j) for j in range(32)])),
    "crlf.txt": report().replace("\n", "\r\n"),
    "ctrl-z.txt": report() + "\x1a-----\n",
    "no-final-line-feed.txt": report()[:-1],
    "cut-in-heading.txt": report()[: report().rfind("Station 18") + 4],
    "cut-in-day-list.txt": report()[:-40],
    "long-line.txt": "x" * 256 + "\n" + report(),
    "line-of-255.txt": report(1, block(18, [day(1, 5).ljust(254) + "M"])),
    "flags.txt": report(1, block(18, ["1 " + " ".join(f"{k}.5{'M' if k % 2 else 'E'}" for k in range(18))])),
    "odd-numbers.txt": report(1, block(18, ["1 0x1A +7 .5 5. -.25e+1 1e+ 12.5E 2E3 1e400 1e-400 inf nan"])),
    "blank-and-text-days.txt": report(1, block(18, ["", "text ----", day(3, 1)])),
    "huge-values.txt": report(1, block(18, ["1 " + " ".join("1e39 " for _ in range(18))])),
}

NUMBERS = [0.1, 1000.125, -12345.25, 999999.5, 1e-5, 1234567.0, 100000.0, 1e6, 1e-4,
           9.999995e-05, 99999.95, 2.345675, 5e-324, 1.7976931348623157e308, -0.0]
FLOATS = [0.1, -88.37, 42.508, 3.4028234663852886e38, 1.401298464324817e-45, 99999.95]


def main():
    reports = os.path.join(here, "corpus", "report")
    numbers = os.path.join(here, "corpus", "number")
    os.makedirs(reports, exist_ok=True)
    os.makedirs(numbers, exist_ok=True)
    shutil.copy(os.path.join(root, "data", "sample-report.txt"), os.path.join(reports, "sample.txt"))
    for name, text in REPORTS.items():
        with open(os.path.join(reports, name), "w", newline="") as f:
            f.write(text)
    for i, v in enumerate(NUMBERS):
        with open(os.path.join(numbers, f"double-{i:02d}"), "wb") as f:
            f.write(struct.pack("<d", v))
    for i, v in enumerate(FLOATS):
        with open(os.path.join(numbers, f"float-{i:02d}"), "wb") as f:
            f.write(struct.pack("<f", v))


if __name__ == "__main__":
    main()
