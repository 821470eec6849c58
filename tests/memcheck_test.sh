#!/usr/bin/env bash
# The records and buffers are not cleared before use: the program writes
# every entry it reads. Valgrind's memcheck proves it on whole runs, with the
# program linked on the shared C library (a static one trips memcheck in its
# own start-up code): no read of memory never written, no leak, no error.
#   memcheck_test.sh PROGRAM REPORT_FOLDER
set -euo pipefail
program=$(realpath "$1")
reports=$(realpath "$2")
command -v valgrind >/dev/null || { echo "FAIL: valgrind is missing (apt-get install valgrind)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
# short blocks, blank days, a block cut short, the whole month, and the time series
for report in sample two-days blank-and-text-days flags cut-in-day-list thirty-one-days; do
    for options in "" "--netcdf month.nc --month 2026-07"; do
        # shellcheck disable=SC2086
        if ! valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
                "$program" $options "$reports/$report.txt" grid.vtk >/dev/null 2>log; then
            if grep -q "^==" log; then
                echo "FAIL: memcheck on $report.txt ${options:+with $options}:"
                grep "^==" log | head -20
                failures=$((failures + 1))
            fi
        fi
    done
done
[ "$failures" -eq 0 ] && echo "memcheck: ok"
exit "$failures"
