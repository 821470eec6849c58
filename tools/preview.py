#!/usr/bin/python3
"""Draws one day of an obsgrid grid file, or of its NetCDF time series, as a picture.

    /usr/bin/python3 tools/preview.py GRIDFILE [--day N] [--field NAME] -o PICTURE.png

A VTK grid file is read with VTK's own legacy reader, a NetCDF file (told by
its first bytes) with netCDF4. The chosen field is drawn as a coloured map
over the grid points, the wind as arrows, and the stations as labelled
markers: from the stationLocations.vtk beside a grid file when there is
one, from the station table inside a NetCDF file. Days are counted from 0,
as the layers and time steps of the files. Needs Debian's python3-vtk9 and
python3-matplotlib, and python3-netcdf4 for a NetCDF file.
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


def is_netcdf(path):
    with open(path, "rb") as f:
        return f.read(4) in (b"CDF\x01", b"CDF\x02")


def import_libraries(netcdf):
    if netcdf:
        try:
            import netCDF4  # noqa: F401
        except ImportError:
            fail("python3-netcdf4 is missing (install it with: apt-get install python3-netcdf4)")
    else:
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


def check_day(day, days):
    if not 0 <= day < days:
        fail(f"day {day} is not in the file: it holds days 0 to {days - 1}" if days
             else "the file holds no days")


def vtk_day(path, day, field):
    """The day's grid points, wind and field, from a VTK grid file."""
    grid = read_grid(path)
    days = grid.GetDimensions()[2]
    check_day(day, days)
    data = grid.GetPointData()
    wind = data.GetArray("WindVector")
    picture = {
        "days": days,
        "x": layer(grid, day, lambda i: grid.GetPoint(i)[0]),
        "y": layer(grid, day, lambda i: grid.GetPoint(i)[1]),
        "u": layer(grid, day, lambda i: wind.GetTuple3(i)[0]),
        "v": layer(grid, day, lambda i: wind.GetTuple3(i)[1]),
        "stations": read_stations(os.path.join(os.path.dirname(os.path.abspath(path)),
                                               "stationLocations.vtk")),
    }
    if field != "WindSpeed":
        values = data.GetArray(field)
        picture["field"] = layer(grid, day, lambda i: values.GetValue(i))
    return picture


def netcdf_day(path, day, field):
    """The day's grid points, wind (miles per hour) and field, from a NetCDF file."""
    import netCDF4
    try:
        ds = netCDF4.Dataset(path)
    except OSError:
        fail(f"{path} is not a NetCDF file that netCDF4 can read")
    with ds:
        if any(name not in ds.variables for name in ["lon", "lat", "EastwardWind"] + SCALARS):
            fail(f"{path} is not an obsgrid NetCDF file")
        days = len(ds.dimensions["time"])
        check_day(day, days)
        picture = {
            "days": days,
            "x": ds["lon"][:].tolist(),
            "y": ds["lat"][:].tolist(),
            "u": ds["EastwardWind"][day].tolist(),
            "v": ds["NorthwardWind"][day].tolist(),
            "stations": list(zip(ds["station_lon"][:].tolist(), ds["station_lat"][:].tolist())),
        }
        time = ds["time"]
        picture["date"] = str(netCDF4.num2date(time[day], time.units, time.calendar))[:10]
        if field != "WindSpeed":
            picture["field"] = ds[field][day].tolist()
            picture["units"] = ds[field].units
        else:
            picture["units"] = ds["EastwardWind"].units
    return picture


def main():
    args = parse_arguments()
    if not os.path.isfile(args.gridfile):
        fail(f"no such grid file: {args.gridfile}")
    if args.field not in FIELDS:
        fail(f"unknown field {args.field!r}; choose one of {', '.join(FIELDS)}")
    netcdf = is_netcdf(args.gridfile)
    import_libraries(netcdf)
    import matplotlib.pyplot as plt

    picture = (netcdf_day if netcdf else vtk_day)(args.gridfile, args.day, args.field)
    x, y, u, v, days = (picture[k] for k in ("x", "y", "u", "v", "days"))
    if args.field == "WindSpeed":
        field = [[(a * a + b * b) ** 0.5 for a, b in zip(ur, vr)] for ur, vr in zip(u, v)]
    else:
        field = picture["field"]

    figure, axes = plt.subplots(figsize=(6.4, 7.6), dpi=100)
    mesh = axes.pcolormesh(x, y, field, shading="gouraud", cmap="viridis")
    axes.quiver(x, y, u, v, color="white", edgecolor="black", linewidth=0.4, width=0.004)
    for index, (lon, lat) in enumerate(picture["stations"]):
        axes.plot(lon, lat, marker="o", markersize=5, color="red", markeredgecolor="black")
        axes.annotate(str(index), (lon, lat), textcoords="offset points", xytext=(4, 4),
                      fontsize=8, color="black")
    colour_bar = figure.colorbar(mesh, ax=axes)
    colour_bar.set_label(f"{args.field} ({picture['units']})" if "units" in picture else args.field)
    axes.set_xlabel("Longitude (degrees)")
    axes.set_ylabel("Latitude (degrees)")
    axes.set_aspect("equal")
    axes.margins(0.04)
    when = f"{picture['date']}, " if "date" in picture else ""
    axes.set_title(f"{args.field}, {when}day {args.day} of {days} ({os.path.basename(args.gridfile)})")
    figure.tight_layout()
    figure.savefig(args.output)
    print(f"wrote {args.output}")


if __name__ == "__main__":
    main()
