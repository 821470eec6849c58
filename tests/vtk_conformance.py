#!/usr/bin/python3
"""Loads obsgrid's files with VTK's own legacy readers and checks that VTK
sees exactly what the text holds.

    /usr/bin/python3 tests/vtk_conformance.py OBSGRID SAMPLE_REPORT

For the sample report and for reports of 0 and 31 days: the grid file read
by vtkStructuredGridReader (all scalars and vectors) and the station file by
vtkPolyDataReader; dimensions, point counts, the five attributes and their
components, every value against an independent parse of the text, and no
message in VTK's output window.
"""

import os
import random
import struct
import subprocess
import sys
import tempfile

try:
    import vtk
    vtk.vtkStructuredGridReader
except (ImportError, AttributeError):
    sys.exit("python3-vtk9 is missing: VTK's Python module is needed to check the files "
             "(install it with: apt-get install python3-vtk9)")

ATTRIBUTES = [("WindVector", 3), ("AirTemp", 1), ("SoilTemp", 1), ("Humidity", 1),
              ("Precipitation", 1)]

from checks import check, report


def as_float32(text):
    return struct.unpack("f", struct.pack("f", float(text)))[0]


def parse_grid_text(path):
    """The grid file's numbers by section, read from the text alone."""
    with open(path) as f:
        lines = f.read().split("\n")
    sections, name, values = {}, None, None
    for line in lines[4:]:
        words = line.split()
        if not words:
            continue
        if words[0] in ("DIMENSIONS", "POINT_DATA"):
            sections[words[0]] = [int(w) for w in words[1:]]
        elif words[0] in ("POINTS", "VECTORS", "SCALARS"):
            name = "POINTS" if words[0] == "POINTS" else words[1]
            values = sections.setdefault(name, [])
        elif words[0] == "LOOKUP_TABLE":
            continue
        else:
            values.extend(as_float32(w) for w in words)
    return sections


def vtk_values(array):
    return [c for i in range(array.GetNumberOfTuples()) for c in array.GetTuple(i)]


def check_grid(path, days):
    label = f"{os.path.basename(path)} ({days} days)"
    text = parse_grid_text(path)
    reader = vtk.vtkStructuredGridReader()
    reader.SetFileName(path)
    reader.ReadAllScalarsOn()
    reader.ReadAllVectorsOn()
    reader.Update()
    grid = reader.GetOutput()
    points = days * 120
    check(grid.GetDimensions() == (10, 12, days), f"{label}: dimensions {grid.GetDimensions()}")
    check(grid.GetNumberOfPoints() == points, f"{label}: {grid.GetNumberOfPoints()} points")
    check(text["DIMENSIONS"] == [10, 12, days], f"{label}: DIMENSIONS line")
    check(text["POINT_DATA"] == [points], f"{label}: POINT_DATA line")
    if points:
        coordinates = vtk_values(grid.GetPoints().GetData())
    else:
        coordinates = []
    check(coordinates == text["POINTS"], f"{label}: point coordinates differ from the text")
    data = grid.GetPointData()
    names = [data.GetArrayName(i) for i in range(data.GetNumberOfArrays())]
    check(names == [n for n, _ in ATTRIBUTES], f"{label}: attributes {names}")
    for name, components in ATTRIBUTES:
        array = data.GetArray(name)
        if array is None:
            continue
        check(array.GetNumberOfComponents() == components, f"{label}: {name} components")
        check(array.GetNumberOfTuples() == points, f"{label}: {name} has {array.GetNumberOfTuples()} tuples")
        check(len(text[name]) == points * components, f"{label}: {name} text holds {len(text[name])} values")
        check(vtk_values(array) == text[name], f"{label}: {name} values differ from the text")
    check(data.GetVectors() is not None and data.GetVectors().GetName() == "WindVector",
          f"{label}: WindVector is not the active vector attribute")


def check_stations(path):
    with open(path) as f:
        rows = f.read().split("\n")[5:]
    text = [as_float32(w) for row in rows for w in row.split()]
    reader = vtk.vtkPolyDataReader()
    reader.SetFileName(path)
    reader.Update()
    stations = reader.GetOutput()
    check(stations.GetNumberOfPoints() == 19, f"{path}: {stations.GetNumberOfPoints()} stations")
    check(len(text) == 57, f"{path}: the text holds {len(text)} coordinates")
    check(vtk_values(stations.GetPoints().GetData()) == text, f"{path}: station coordinates differ")
    check(stations.GetNumberOfCells() == 0, f"{path}: has cells")
    check(text[:3] == [as_float32("-88.37"), as_float32("40.05"), 0.0], f"{path}: first station")


def synthetic_report(days, seed):
    rng = random.Random(seed)
    lines = []
    for s in range(19):
        lines += [f"Station {s}", "-----"]
        for day in range(1, days + 1):
            lines.append(f"{day} " + " ".join(f"{rng.uniform(-50, 150):.3f} " for _ in range(18)))
        lines.append("-----")
    return "\n".join(lines) + "\n"


def convert(obsgrid, report, workdir, days):
    os.makedirs(workdir)
    result = subprocess.run([obsgrid, report, "grid.vtk"], cwd=workdir, capture_output=True,
                            text=True, timeout=60)
    check(result.returncode == 0, f"{report}: obsgrid ended with {result.returncode}: {result.stderr}")
    check_grid(os.path.join(workdir, "grid.vtk"), days)
    check_stations(os.path.join(workdir, "stationLocations.vtk"))


def main():
    obsgrid, sample = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    messages = vtk.vtkStringOutputWindow()
    vtk.vtkOutputWindow.SetInstance(messages)
    with tempfile.TemporaryDirectory() as tmp:
        convert(obsgrid, sample, os.path.join(tmp, "sample"), 30)
        for days in (0, 31):
            report_path = os.path.join(tmp, f"report{days}.txt")
            with open(report_path, "w") as f:
                f.write(synthetic_report(days, days))
            convert(obsgrid, report_path, os.path.join(tmp, f"days{days}"), days)
    check(messages.GetOutput() == "", f"VTK logged: {messages.GetOutput()}")
    return report("vtk conformance")


if __name__ == "__main__":
    sys.exit(main())
