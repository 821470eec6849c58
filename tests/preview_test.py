#!/usr/bin/python3
"""Runs tools/preview.py on the sample's grid file and on bad arguments.

    /usr/bin/python3 tests/preview_test.py OBSGRID SAMPLE_REPORT PREVIEW_SCRIPT
"""

import os
import struct
import subprocess
import sys
import tempfile

from checks import check, report


def preview(script, *args):
    return subprocess.run([sys.executable, script, *args], capture_output=True, text=True,
                          timeout=120)


def main():
    obsgrid, sample, script = (os.path.abspath(a) for a in sys.argv[1:4])
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run([obsgrid, sample, "grid.vtk"], cwd=tmp, check=True)
        grid = os.path.join(tmp, "grid.vtk")
        picture = os.path.join(tmp, "day.png")
        result = preview(script, grid, "--day", "29", "--field", "Humidity", "-o", picture)
        check(result.returncode == 0, f"preview failed: {result.stderr}")
        if os.path.exists(picture):
            with open(picture, "rb") as f:
                head = f.read(24)
            check(head[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG")
            width, height = struct.unpack(">II", head[16:24])
            check(400 <= width <= 2000 and 400 <= height <= 2000, f"picture of {width} x {height}")
            check(os.path.getsize(picture) > 20000, f"picture of {os.path.getsize(picture)} bytes")
        else:
            check(False, "no picture written")

        bad = [
            ([os.path.join(tmp, "missing.vtk"), "-o", picture], "no such grid file"),
            ([grid, "--day", "30", "-o", picture], "day 30 is not in the file"),
            ([grid, "--day", "-1", "-o", picture], "day -1 is not in the file"),
            ([grid, "--field", "Pressure", "-o", picture], "unknown field"),
            ([sample, "-o", picture], "not an obsgrid grid file"),
            ([grid], "required"),
        ]
        for args, message in bad:
            result = preview(script, *args)
            check(result.returncode != 0, f"{args}: status 0")
            check(message in result.stderr, f"{args}: {result.stderr!r} lacks {message!r}")
    return report("preview")


if __name__ == "__main__":
    sys.exit(main())
