#!/usr/bin/python3
"""Reads obsgrid's NetCDF time series back with the reference tools: the
netCDF C library's ncdump, netCDF4, xarray and VTK's vtkNetCDFCFReader.

    /usr/bin/python3 tests/netcdf_conformance.py OBSGRID SAMPLE_REPORT

Every value must be bit-equal to the single-precision value that the
independent Python conversion computes, the dates must decode, and the VTK
files must be byte for byte those of a run without the options.
"""

import datetime
import os
import re
import subprocess
import sys
import tempfile
import warnings

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from checks import check, report  # noqa: E402
import independent_conversion as ref  # noqa: E402

try:
    import netCDF4
    import numpy as np
    import xarray as xr
except ImportError as missing:
    print(f"FAIL: {missing}: install python3-netcdf4 and python3-xarray")
    sys.exit(1)

DAILY = {  # variable: (index in the reference fields, units, standard_name)
    "AirTemp": (2, "degF", "air_temperature"),
    "SoilTemp": (3, "degF", "soil_temperature"),
    "Humidity": (4, "%", "relative_humidity"),
    "Precipitation": (5, "in", "lwe_thickness_of_precipitation_amount"),
    "EastwardWind": (0, "mile/hour", "eastward_wind"),
    "NorthwardWind": (1, "mile/hour", "northward_wind"),
}


def bits(values):
    return np.asarray(values, dtype=np.float32).view(np.uint32)


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, capture_output=True, timeout=60)


def check_ncdump(path, name, days):
    kind = subprocess.run(["ncdump", "-k", path], capture_output=True, text=True)
    check(kind.stdout.strip() in ("classic", "64-bit offset"), f"{name}: ncdump -k says {kind.stdout!r}")
    header = subprocess.run(["ncdump", "-h", path], capture_output=True, text=True)
    check(header.returncode == 0, f"{name}: ncdump -h failed: {header.stderr}")
    for dimension in (rf"time = UNLIMITED ; // \({days} currently\)", r"y = 12 ;", r"x = 10 ;",
                      r"station = 19 ;"):
        check(re.search(dimension, header.stdout), f"{name}: ncdump lacks {dimension}")


def check_values(path, name, report_bytes, month, command):
    data, days = ref.read_report(report_bytes)
    positions, fields, wind_mph = ref.interpolate(data, days)
    with netCDF4.Dataset(path) as ds:
        ds.set_auto_maskandscale(False)
        check(ds.Conventions == "CF-1.8", f"{name}: Conventions {ds.Conventions!r}")
        check(ds.title, f"{name}: no title")
        check(re.fullmatch(r"obsgrid \d+\.\d+\.\d+", ds.source), f"{name}: source {ds.source!r}")
        check(ds.history == command, f"{name}: history {ds.history!r}, not {command!r}")
        check({d: len(v) for d, v in ds.dimensions.items()} ==
              {"time": days, "y": 12, "x": 10, "station": 19}, f"{name}: dimensions")
        check(ds.dimensions["time"].isunlimited(), f"{name}: time is not the record dimension")

        time = ds["time"]
        check(time.dtype == np.float64 and time.dimensions == ("time",), f"{name}: time type")
        check(list(time[:]) == list(range(days)), f"{name}: time values")
        check(time.units == f"days since {month}-01 00:00:00", f"{name}: time units {time.units!r}")
        check((time.calendar, time.standard_name, time.axis) == ("standard", "time", "T"),
              f"{name}: time attributes")

        for var, column, units, standard in (("lon", 0, "degrees_east", "longitude"),
                                             ("lat", 1, "degrees_north", "latitude")):
            v = ds[var]
            check(v.dtype == np.float32 and v.dimensions == ("y", "x"), f"{name}: {var} type")
            check((v.units, v.standard_name) == (units, standard), f"{name}: {var} attributes")
            expected = [[positions[r][c][column] for c in range(10)] for r in range(12)]
            check(np.array_equal(bits(v[:]), bits(expected)), f"{name}: {var} values")

        for var, column in (("station_lon", 0), ("station_lat", 1)):
            check(list(ds[var][:]) == [s[column] for s in ref.STATIONS], f"{name}: {var} values")

        for var, (q, units, standard) in DAILY.items():
            v = ds[var]
            check(v.dtype == np.float32 and v.dimensions == ("time", "y", "x"), f"{name}: {var} type")
            check((v.units, v.standard_name, v.coordinates) == (units, standard, "lon lat"),
                  f"{name}: {var} attributes")
            check(v.long_name, f"{name}: {var} has no long_name")
            source = wind_mph if q < 2 else fields
            expected = [[[source[j][r][c][q] for c in range(10)] for r in range(12)]
                        for j in range(days)]
            written = bits(v[:]) if days else np.zeros((0, 12, 10), np.uint32)
            check(np.array_equal(written, bits(expected).reshape(days, 12, 10)),
                  f"{name}: {var} values are not bit-equal")
    return days, fields


def check_xarray(path, name, month, days):
    # Dates before 1678 decode to cftime objects rather than numpy's datetime64.
    year, number = map(int, month.split("-"))
    last = datetime.date(year, number, 1) + datetime.timedelta(days=days - 1)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", xr.SerializationWarning)
        with xr.open_dataset(path) as ds:
            dates = [str(t)[:10] for t in ds.time.values]
            check(dates[0] == f"{month}-01", f"{name}: xarray's first day is {dates[0]}")
            check(dates[-1] == last.isoformat(), f"{name}: xarray's last day is {dates[-1]}")
            check(ds.AirTemp.dims == ("time", "y", "x"), f"{name}: xarray dims {ds.AirTemp.dims}")


def check_vtk(path, name, days, fields):
    try:
        import vtk
        from vtk.util.numpy_support import vtk_to_numpy
        vtk.vtkNetCDFCFReader
    except (ImportError, AttributeError):
        check(False, "VTK's Python module is missing: install python3-vtk9")
        return
    vtk.vtkObject.GlobalWarningDisplayOff()
    reader = vtk.vtkNetCDFCFReader()
    reader.SetFileName(path)
    reader.SphericalCoordinatesOff()
    reader.UpdateInformation()
    info = reader.GetOutputInformation(0)
    steps = vtk.vtkStreamingDemandDrivenPipeline.TIME_STEPS()
    check(info.Has(steps) and info.Length(steps) == days, f"{name}: VTK sees no {days} time steps")
    last = days - 1
    reader.UpdateTimeStep(float(last))
    grid = reader.GetOutput()
    check(grid.IsA("vtkStructuredGrid"), f"{name}: VTK made a {grid.GetClassName()}")
    check(grid.GetNumberOfPoints() == 120, f"{name}: {grid.GetNumberOfPoints()} points")
    arrays = {grid.GetPointData().GetArrayName(i) for i in range(grid.GetPointData().GetNumberOfArrays())}
    check(set(DAILY) <= arrays, f"{name}: VTK's point arrays are {sorted(arrays)}")
    if "AirTemp" in arrays:
        air = vtk_to_numpy(grid.GetPointData().GetArray("AirTemp"))
        expected = [fields[last][r][c][2] for r in range(12) for c in range(10)]
        check(np.array_equal(bits(air), bits(expected)), f"{name}: VTK's AirTemp on the last day")


def main():
    obsgrid, sample = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with open(sample, "rb") as f:
        cases = [("sample", f.read(), "2026-07")]
    cases += [("generated 31 days", ref.generated_report(11, 31), "2024-12"),
              ("generated 1 day", ref.generated_report(12, 1), "0001-01")]
    with tempfile.TemporaryDirectory() as tmp:
        for name, report_bytes, month in cases:
            plain, work = (os.path.join(tmp, name.replace(" ", "-") + suffix) for suffix in ("-plain", ""))
            for folder in (plain, work):
                os.makedirs(folder)
                with open(os.path.join(folder, "report.txt"), "wb") as f:
                    f.write(report_bytes)
            args = [obsgrid, "--netcdf", "month.nc", "--month", month, "report.txt", "grid.vtk"]
            result = run(args, work)
            check(result.returncode == 0, f"{name}: status {result.returncode}: {result.stderr!r}")
            without = run([obsgrid, "report.txt", "grid.vtk"], plain)
            check(result.stdout == without.stdout == b"", f"{name}: standard output")
            check(result.stderr == without.stderr, f"{name}: messages differ from a plain run")
            for file in ("grid.vtk", "stationLocations.vtk"):
                with open(os.path.join(work, file), "rb") as a, open(os.path.join(plain, file), "rb") as b:
                    check(a.read() == b.read(), f"{name}: {file} differs from a run without options")
            path = os.path.join(work, "month.nc")
            if not os.path.exists(path):
                check(False, f"{name}: no NetCDF file")
                continue
            days, fields = check_values(path, name, report_bytes, month, " ".join(args))
            check_ncdump(path, name, days)
            check_xarray(path, name, month, days)
            check_vtk(path, name, days, fields)
    return report("netcdf conformance")


if __name__ == "__main__":
    sys.exit(main())
