#!/usr/bin/env bash
# Times the whole obsgrid process on a 31-day report against cat copying
# the two files that obsgrid writes, over many runs.
#   bash bench/process_vs_cat.sh [path/to/obsgrid] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$root/build/obsgrid}")
runs=${2:-500}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

python3 - > report.txt <<'PY'
import random
rng = random.Random(7)
for s in range(19):
    print(f"Station {s}\n-----")
    for day in range(1, 32):
        print(f"{day} " + " ".join(f"{rng.uniform(0, 100):.2f} " for _ in range(18)))
    print("-----")
PY
"$binary" report.txt grid.vtk

elapsed() {  # command... : nanoseconds for $runs runs
    local start end
    start=$(date +%s%N)
    for ((i = 0; i < runs; i++)); do "$@"; done
    end=$(date +%s%N)
    echo $((end - start))
}
copy_both() { cat grid.vtk > copy1; cat stationLocations.vtk > copy2; }

ours=$(elapsed "$binary" report.txt grid.vtk)
cats=$(elapsed copy_both)
awk -v o="$ours" -v c="$cats" -v n="$runs" -v size="$(stat -c %s grid.vtk)" 'BEGIN {
    printf "grid file: %d bytes\n", size
    printf "obsgrid, whole process:     %.2f ms per run\n", o / n / 1e6
    printf "cat copying both files:     %.2f ms per run\n", c / n / 1e6
    printf "ratio:                      %.2f\n", o / c
}'
