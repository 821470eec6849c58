#!/usr/bin/env bash
# Builds obsgrid and runs every test: the suite on a release build, the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, then each
# fuzzer for a bounded time. Installs, as root through apt-get, what the
# tests need and the machine lacks.
#   bash scripts/test.sh           everything
#   bash scripts/test.sh --quick   the release suite alone
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

# VTK's reader and matplotlib check and draw the output, through Debian's python3.
missing=()
/usr/bin/python3 -c "import vtk; vtk.vtkStructuredGridReader" 2>/dev/null || missing+=(python3-vtk9)
/usr/bin/python3 -c "import matplotlib.pyplot" 2>/dev/null || missing+=(python3-matplotlib)
# The NetCDF file is read back with the netCDF C library's ncdump, netCDF4 and xarray.
command -v ncdump >/dev/null || missing+=(netcdf-bin)
/usr/bin/python3 -c "import netCDF4" 2>/dev/null || missing+=(python3-netcdf4)
/usr/bin/python3 -c "import xarray" 2>/dev/null || missing+=(python3-xarray)
command -v groff >/dev/null || missing+=(groff-base)
command -v valgrind >/dev/null || missing+=(valgrind)
command -v man >/dev/null || missing+=(man-db)
if [ "${1:-}" != "--quick" ]; then
    command -v clang++ >/dev/null || missing+=(clang)
    [ -n "$(find /usr/lib/llvm-*/lib/clang -name 'libclang_rt.fuzzer*.a' 2>/dev/null)" ] \
        || missing+=(libclang-rt-14-dev)
fi
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing ${missing[*]}"
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
    else
        echo "Missing ${missing[*]}: install them (apt-get install ${missing[*]}); the tests that need them fail until then"
    fi
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
passed=0
count_passed() {  # adds the test count of the ctest run in $log
    passed=$((passed + $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log")))
}

echo "== release build and tests"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs" | tee "$log"
count_passed
if [ "${1:-}" = "--quick" ]; then
    echo "tests: $passed passed, 0 failed"
    exit 0
fi

echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs" | tee "$log"
count_passed

echo "== fuzzing"
bash scripts/fuzz.sh
passed=$((passed + 2))
echo "tests: $passed passed, 0 failed"
