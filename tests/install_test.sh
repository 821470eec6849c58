#!/usr/bin/env bash
# Installs the build into a temporary prefix and converts the sample report
# with the installed program; then builds the Debian package and looks in it.
#   install_test.sh BUILD_DIR SAMPLE_REPORT
set -euo pipefail
build=$1
sample=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
test -x "$work/prefix/bin/obsgrid" || { echo "FAIL: no bin/obsgrid"; exit 1; }
test -f "$work/prefix/share/man/man1/obsgrid.1" || { echo "FAIL: no share/man/man1/obsgrid.1"; exit 1; }

mkdir "$work/run" && cd "$work/run"
"$work/prefix/bin/obsgrid" "$sample" grid.vtk
head -5 grid.vtk | grep -qx "DIMENSIONS 10 12 30" || { echo "FAIL: the installed program wrote no grid"; exit 1; }
test -s stationLocations.vtk || { echo "FAIL: no station file"; exit 1; }
MANWIDTH=80 man -l "$work/prefix/share/man/man1/obsgrid.1" 2>/dev/null | grep -q "EXIT STATUS" \
    || { echo "FAIL: the installed man page does not render"; exit 1; }

cd "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
deb=$(ls "$work"/package/*.deb)
contents=$(dpkg-deb -c "$deb")
grep -q "./usr/bin/obsgrid$" <<<"$contents" || { echo "FAIL: the package lacks usr/bin/obsgrid"; exit 1; }
grep -q "./usr/share/man/man1/obsgrid.1" <<<"$contents" || { echo "FAIL: the package lacks the man page"; exit 1; }
dpkg-deb -f "$deb" Package | grep -qx obsgrid || { echo "FAIL: package name"; exit 1; }
echo "install: ok ($(basename "$deb"))"
