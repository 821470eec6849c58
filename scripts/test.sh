#!/usr/bin/env bash
# Builds obsgrid and runs every test. Installs, as root through apt-get,
# what the tests need and the machine lacks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

# VTK's reader and matplotlib check and draw the output, through Debian's python3.
missing=()
/usr/bin/python3 -c "import vtk" 2>/dev/null || missing+=(python3-vtk9)
/usr/bin/python3 -c "import matplotlib" 2>/dev/null || missing+=(python3-matplotlib)
command -v groff >/dev/null || missing+=(groff-base)
command -v man >/dev/null || missing+=(man-db)
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing ${missing[*]}"
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
    else
        echo "Missing ${missing[*]}: install them (apt-get install ${missing[*]}); the tests that need them fail until then"
    fi
fi

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$root/build" -j "$jobs"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"
