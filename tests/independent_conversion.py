#!/usr/bin/python3
"""A second, independent implementation of the whole conversion, in Python,
compared byte for byte with what obsgrid writes.

    /usr/bin/python3 tests/independent_conversion.py OBSGRID SAMPLE_REPORT

Python's floats are the same IEEE doubles and its math.sin and math.cos the
same C library functions, so a computation in the same order of operations
must give the same bits. Numbers are formatted from their exact decimal
expansion with the decimal module. Runs on the sample report and on
generated reports with partial lines, blank days, flags and odd numbers.
"""

import math
import os
import random
import re
import struct
import subprocess
import sys
import tempfile
from decimal import ROUND_HALF_EVEN, ROUND_HALF_UP, Decimal, getcontext

getcontext().prec = 1200

STATIONS = [
    (-88.37, 40.05, 213.0), (-88.67, 37.45, 165.0), (-88.95, 38.95, 177.0),
    (-90.83, 39.8, 206.0), (-88.85, 41.85, 265.0), (-90.73, 40.92, 229.0),
    (-90.08, 40.17, 152.0), (-89.52, 40.7, 207.0), (-89.62, 39.68, 177.0),
    (-89.88, 38.52, 133.0), (-89.23, 37.7, 137.0), (-88.1, 38.73, 134.0),
    (-89.67, 42.28, 265.0), (-88.92, 38.13, 130.0), (-88.17, 40.95, 213.0),
    (-89.75, 40.73, 186.0), (-88.37, 41.9, 226.0), (-88.38, 38.38, 136.0),
    (-88.23, 40.08, 219.0),
]
EDGES = [
    (37.0, -89.3, -88.5), (37.5, -89.5, -88.067), (38.0, -90.05, -88.025),
    (38.5, -90.267, -87.683), (39.0, -90.683, -87.583), (39.5, -91.067, -87.533),
    (40.0, -91.467, -87.533), (40.5, -91.367, -87.525), (41.0, -90.933, -87.525),
    (41.5, -91.125, -87.525), (42.0, -90.142, -87.65), (42.508, -90.65, -87.8),
]

NUMBER = re.compile(rb"[ \t\n\v\f\r]*([+-]?(?:\d+\.?\d*|\.\d+))([eE][+-]?(\d*))?")
DAY = re.compile(rb"[ \t\n\v\f\r]*[+-]?\d+")


def lines_of(data):
    data = data.split(b"\x1a", 1)[0]
    lines = data.split(b"\n")
    if lines[-1] == b"":
        lines.pop()
    return [l[:-1] if l.endswith(b"\r") else l for l in lines]


def convert_day_line(line):
    values = [0.0] * 18
    m = DAY.match(line)
    if not m:
        return values
    pos = m.end()
    for k in range(18):
        m = NUMBER.match(line, pos)
        if not m:
            break
        text = m.group(1) + (m.group(2) if m.group(3) else b"")
        values[k] = float(text)
        pos = m.end()
        if pos == len(line):
            break
        pos += 1  # the flag character
    return values


def read_report(data):
    lines = iter(lines_of(data))
    data_ = []
    for s in range(19):
        while b"-----" not in next(lines):
            pass
        block = []
        for line in lines:
            if b"-----" in line:
                break
            block.append(convert_day_line(line))
        data_.append(block)
    count = len(data_[18])
    return data_, count


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def derived(v):
    humidity = (v[7] + v[8]) / 2.0
    a = (v[2] * 3.141592653589793) / 180
    return humidity, (math.sin(a) * (-v[1])) / 69.6, (math.cos(a) * v[1]) / 69.6


def station_values(data, s, j):
    v = data[s][j] if j < len(data[s]) else [0.0] * 18
    humidity, wx, wy = derived(v) if j < len(data[s]) else (0.0, 0.0, 0.0)
    return [wx, wy, v[6], v[14], humidity, v[10]]


def interpolate(data, days):
    """The grid points, the single-precision fields[j][r][c] = [wx, wy, air,
    soil, humidity, precip], and the wind in miles per hour, wind_mph[j][r][c]
    = [east, north], from the double-precision means times 69.6."""
    positions = []
    fields = [[[None] * 10 for _ in range(12)] for _ in range(days)]
    wind_mph = [[[None] * 10 for _ in range(12)] for _ in range(days)]
    for r, (lat, west, east) in enumerate(EDGES):
        step = (east - west) / 9.0
        row = []
        for c in range(10):
            lon = float(c) * step + west
            weights, total, snapped = [], 0.0, None
            for s, (slon, slat, _) in enumerate(STATIONS):
                d2 = (slon - lon) * (slon - lon) + (slat - lat) * (slat - lat)
                if d2 < 0.01:
                    snapped = s
                    break
                weights.append(1.0 / d2)
                total += weights[-1]
            if snapped is not None:
                row.append((f32(lon), f32(lat), 0.0))
                for j in range(days):
                    values = station_values(data, snapped, j)
                    fields[j][r][c] = [f32(x) for x in values]
                    wind_mph[j][r][c] = [f32(x * 69.6) for x in values[:2]]
                continue
            row.append((f32(lon), f32(lat), f32((sum_in_order(w * 0.0 for w in weights) / total) * 0.001)))
            for j in range(days):
                sums = [0.0] * 6
                for s in range(19):
                    values = station_values(data, s, j)
                    for q in range(6):
                        sums[q] += weights[s] * values[q]
                fields[j][r][c] = [f32(x / total) for x in sums]
                wind_mph[j][r][c] = [f32((x / total) * 69.6) for x in sums[:2]]
        positions.append(row)
    return positions, fields, wind_mph


def sum_in_order(values):
    total = 0.0
    for v in values:
        total += v
    return total


def g6(x):
    if x == 0:
        return "0"
    d = Decimal(abs(x))
    d17 = d.quantize(Decimal(1).scaleb(d.adjusted() - 16), rounding=ROUND_HALF_EVEN)
    d6 = d17.quantize(Decimal(1).scaleb(d17.adjusted() - 5), rounding=ROUND_HALF_UP)
    e = d6.adjusted()
    digits = str(d6.scaleb(5 - e).to_integral_value())
    if -4 <= e <= 5:
        text = digits[: e + 1] + "." + digits[e + 1:] if e >= 0 else "0." + "0" * (-e - 1) + digits
        text = text.rstrip("0").rstrip(".") if "." in text else text
    else:
        mantissa = (digits[0] + "." + digits[1:]).rstrip("0").rstrip(".")
        text = f"{mantissa}e{'-' if e < 0 else '+'}{abs(e):03d}"
    return ("-" if x < 0 else "") + text


def row(values):
    return "".join(g6(v) + " " for v in values) + "\n"


def expected_files(report_bytes, input_path, program):
    data, days = read_report(report_bytes)
    positions, fields, _ = interpolate(data, days)
    title = f"Autogenerated from {input_path} by {program}\n"
    p = days * 120
    grid = ["# vtk DataFile Version 3.0\n", title, "ASCII\n", "DATASET STRUCTURED_GRID\n",
            f"DIMENSIONS 10 12 {days}\n", f"POINTS {p} float\n"]
    for j in range(days):
        grid += [row(positions[r][c]) for r in range(12) for c in range(10)]
    grid += [f"\nPOINT_DATA {p}\n", "VECTORS WindVector float\n"]
    for j in range(days):
        grid += [row(fields[j][r][c][:2] + [0.0]) for r in range(12) for c in range(10)]
    for q, name in ((2, "AirTemp"), (3, "SoilTemp"), (4, "Humidity"), (5, "Precipitation")):
        grid += [f"SCALARS {name} float 1\n", "LOOKUP_TABLE default\n"]
        for j in range(days):
            grid += [row([fields[j][r][c][q] for c in range(10)]) for r in range(12)]
    grid.append("\n")
    stations = ["# vtk DataFile Version 2.0\n", title, "ASCII\n", "DATASET POLYDATA\n",
                "POINTS 19 float\n"] + [row([lon, lat, 0.0]) for lon, lat, _ in STATIONS]
    return "".join(grid), "".join(stations)


def generated_report(seed, days):
    rng = random.Random(seed)
    out = [b"A generated report\r\n"]
    for s in range(19):
        out.append(f"Station {s}\r\n== ----- ==\r\n".encode())
        for d in range(days - (rng.random() < 0.2 and s < 18)):
            kind = rng.random()
            if kind < 0.05:
                out.append(b"\r\n")  # a blank day
                continue
            fields = []
            for k in range(18 if kind > 0.1 else rng.randrange(18)):
                value = rng.choice([f"{rng.uniform(-40, 120):.{rng.randrange(4)}f}",
                                    f"{rng.uniform(0, 1):.3e}", f"{rng.randrange(400)}",
                                    f"{rng.uniform(-1, 1) * 10 ** rng.randrange(-8, 9):.6g}",
                                    ".5", "5.", "+7", "-.25e+1", "12.5E", "2E3"])
                fields.append(value + rng.choice([" ", " ", "M", "\t"]))
            out.append((f"{d + 1} " + " ".join(fields) + "\r\n").encode())
        out.append(b"-------------\r\n")
    return b"".join(out)


def main():
    obsgrid, sample = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        with open(sample, "rb") as f:
            cases = [("sample", f.read())]
        cases += [(f"generated {seed}", generated_report(seed, days))
                  for seed, days in ((1, 31), (2, 30), (3, 5), (4, 0))]
        for name, report in cases:
            work = os.path.join(tmp, name.replace(" ", "-"))
            os.makedirs(work)
            with open(os.path.join(work, "report.txt"), "wb") as f:
                f.write(report)
            result = subprocess.run([obsgrid, "report.txt", "grid.vtk"], cwd=work,
                                    capture_output=True, timeout=60)
            grid, stations = expected_files(report, "report.txt", obsgrid)
            with open(os.path.join(work, "grid.vtk")) as f:
                written_grid = f.read()
            with open(os.path.join(work, "stationLocations.vtk")) as f:
                written_stations = f.read()
            problems = []
            if result.returncode != 0:
                problems.append(f"status {result.returncode}: {result.stderr.decode()}")
            for label, written, expected in (("grid file", written_grid, grid),
                                             ("station file", written_stations, stations)):
                if written != expected:
                    a, b = written.split("\n"), expected.split("\n")
                    line = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
                    problems.append(f"{label} differs at line {line + 1}: "
                                    f"{a[line] if line < len(a) else '<end>'!r} instead of "
                                    f"{b[line] if line < len(b) else '<end>'!r}")
            for problem in problems:
                print(f"FAIL: {name}: {problem}")
            failures += len(problems)
    print("independent conversion:", "ok" if not failures else f"{failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
