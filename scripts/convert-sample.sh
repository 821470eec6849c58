#!/usr/bin/env bash
# Builds obsgrid and converts the bundled sample report into sample-output/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target obsgrid
mkdir -p "$root/sample-output"
cd "$root/sample-output"
# stationLocations.vtk is written into the working directory, beside the grid file.
../build/obsgrid ../data/sample-report.txt sample-grid.vtk
echo "Wrote $(pwd)/sample-grid.vtk and $(pwd)/stationLocations.vtk"
