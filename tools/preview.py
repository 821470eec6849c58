#!/usr/bin/python3
"""Draws one day of an obsgrid grid file as a picture.

    /usr/bin/python3 tools/preview.py GRIDFILE [--day N] [--field NAME] -o PICTURE.png

The grid file is read with VTK's own legacy reader. The chosen field is drawn
as a coloured map over the grid points, the wind vectors as arrows, and the
stations, from the stationLocations.vtk beside the grid file when there is
one, as labelled markers. Days are counted from 0, as the layers of the file.
Needs Debian's python3-vtk9 and python3-matplotlib.
"""

import argparse
import os
import sys

SCALARS = ["AirTemp", "SoilTemp", "Humidity", "Precipitation"]
FIELDS = SCALARS + ["WindSpeed"]
COLUMNS, ROWS = 10, 12


def fail(message):
    print(f"preview: {message}", file=sys.stderr)
    sys.exit(2)


def parse_arguments():
    parser = argparse.ArgumentParser(description="Draw one day of an obsgrid grid file.")
    parser.add_argument("gridfile")
    parser.add_argument("--day", type=int, default=0, help="day to draw, counted from 0 (default 0)")
    parser.add_argument("--field", default="AirTemp",
                        help=f"what to colour: {', '.join(FIELDS)} (default AirTemp)")
    parser.add_argument("-o", "--output", required=True, help="the PNG file to write")
    return parser.parse_args()


def import_libraries():
    try:
        import vtk
        vtk.vtkStructuredGridReader
    except (ImportError, AttributeError):
        fail("python3-vtk9 is missing (install it with: apt-get install python3-vtk9)")
    try:
        import matplotlib
        import matplotlib.pyplot  # noqa: F401
    except ImportError:
        fail("python3-matplotlib is missing (install it with: apt-get install python3-matplotlib)")
    matplotlib.use("Agg")


def read_grid(path):
    import vtk
    messages = vtk.vtkStringOutputWindow()
    vtk.vtkOutputWindow.SetInstance(messages)
    reader = vtk.vtkStructuredGridReader()
    reader.SetFileName(path)
    reader.ReadAllScalarsOn()
    reader.ReadAllVectorsOn()
    reader.Update()
    grid = reader.GetOutput()
    if messages.GetOutput() or grid.GetDimensions()[:2] != (COLUMNS, ROWS):
        fail(f"{path} is not an obsgrid grid file that VTK can read")
    return grid


def read_stations(path):
    if not os.path.isfile(path):
        return []
    import vtk
    reader = vtk.vtkPolyDataReader()
    reader.SetFileName(path)
    reader.Update()
    points = reader.GetOutput().GetPoints()
    if points is None:
        return []
    return [points.GetPoint(i)[:2] for i in range(points.GetNumberOfPoints())]


def layer(grid, day, values):
    """The day's values as ROWS lists of COLUMNS, row 0 in the south."""
    first = day * ROWS * COLUMNS
    return [[values(first + r * COLUMNS + c) for c in range(COLUMNS)] for r in range(ROWS)]


def main():
    args = parse_arguments()
    if not os.path.isfile(args.gridfile):
        fail(f"no such grid file: {args.gridfile}")
    if args.field not in FIELDS:
        fail(f"unknown field {args.field!r}; choose one of {', '.join(FIELDS)}")
    import_libraries()
    import matplotlib.pyplot as plt

    grid = read_grid(args.gridfile)
    days = grid.GetDimensions()[2]
    if not 0 <= args.day < days:
        fail(f"day {args.day} is not in the file: it holds days 0 to {days - 1}" if days
             else "the file holds no days")

    data = grid.GetPointData()
    wind = data.GetArray("WindVector")
    x = layer(grid, args.day, lambda i: grid.GetPoint(i)[0])
    y = layer(grid, args.day, lambda i: grid.GetPoint(i)[1])
    u = layer(grid, args.day, lambda i: wind.GetTuple3(i)[0])
    v = layer(grid, args.day, lambda i: wind.GetTuple3(i)[1])
    if args.field == "WindSpeed":
        field = [[(a * a + b * b) ** 0.5 for a, b in zip(ur, vr)] for ur, vr in zip(u, v)]
    else:
        values = data.GetArray(args.field)
        field = layer(grid, args.day, lambda i: values.GetValue(i))

    figure, axes = plt.subplots(figsize=(6.4, 7.6), dpi=100)
    mesh = axes.pcolormesh(x, y, field, shading="gouraud", cmap="viridis")
    axes.quiver(x, y, u, v, color="white", edgecolor="black", linewidth=0.4, width=0.004)
    stations = read_stations(os.path.join(os.path.dirname(os.path.abspath(args.gridfile)),
                                          "stationLocations.vtk"))
    for index, (lon, lat) in enumerate(stations):
        axes.plot(lon, lat, marker="o", markersize=5, color="red", markeredgecolor="black")
        axes.annotate(str(index), (lon, lat), textcoords="offset points", xytext=(4, 4),
                      fontsize=8, color="black")
    colour_bar = figure.colorbar(mesh, ax=axes)
    colour_bar.set_label(args.field)
    axes.set_xlabel("Longitude (degrees)")
    axes.set_ylabel("Latitude (degrees)")
    axes.set_aspect("equal")
    axes.margins(0.04)
    axes.set_title(f"{args.field}, day {args.day} of {days} ({os.path.basename(args.gridfile)})")
    figure.tight_layout()
    figure.savefig(args.output)
    print(f"wrote {args.output}")


if __name__ == "__main__":
    main()
