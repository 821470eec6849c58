#!/usr/bin/python3
"""Runs tools/preview.py on the sample's grid and NetCDF files and on bad arguments.

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
        subprocess.run([obsgrid, "--netcdf", "month.nc", "--month", "2026-07", sample, "grid.vtk"],
                       cwd=tmp, check=True)
        grid = os.path.join(tmp, "grid.vtk")
        netcdf = os.path.join(tmp, "month.nc")
        for source, field in ((grid, "Humidity"), (netcdf, "Humidity"), (netcdf, "WindSpeed")):
            picture = os.path.join(tmp, f"day-{field}-{os.path.basename(source)}.png")
            result = preview(script, source, "--day", "29", "--field", field, "-o", picture)
            check(result.returncode == 0, f"preview of {source} failed: {result.stderr}")
            check_picture(picture)

        bad = [
            ([os.path.join(tmp, "missing.vtk"), "-o", picture], "no such grid file"),
            ([grid, "--day", "30", "-o", picture], "day 30 is not in the file"),
            ([netcdf, "--day", "30", "-o", picture], "day 30 is not in the file"),
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


def check_picture(picture):
    if not os.path.exists(picture):
        check(False, f"no picture written: {picture}")
        return
    with open(picture, "rb") as f:
        head = f.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG")
    width, height = struct.unpack(">II", head[16:24])
    check(400 <= width <= 2000 and 400 <= height <= 2000, f"picture of {width} x {height}")
    check(os.path.getsize(picture) > 20000, f"picture of {os.path.getsize(picture)} bytes")


if __name__ == "__main__":
    sys.exit(main())
