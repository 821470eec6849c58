#!/usr/bin/env bash
# Builds obsgrid and converts the bundled sample report into sample-output/:
# the grid file, the station file and the month as a NetCDF time series.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target obsgrid
mkdir -p "$root/sample-output"
cd "$root/sample-output"
# stationLocations.vtk is written into the working directory, beside the grid file.
../build/obsgrid --netcdf sample-month.nc --month 2026-07 ../data/sample-report.txt sample-grid.vtk
echo "Wrote $(pwd)/sample-grid.vtk, $(pwd)/stationLocations.vtk and $(pwd)/sample-month.nc"
