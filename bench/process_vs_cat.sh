#!/usr/bin/env bash
# Times the whole obsgrid process on a 31-day report against one process
# that copies the two files obsgrid writes, and against a floor: a program
# that reads the report and only writes the same bytes. The commands run in
# turn, pair by pair, each as `sh -c 'exec ...'`; the median of the pairs'
# ratios is the figure to quote, as the machine's speed drifts.
#   bash bench/process_vs_cat.sh [path/to/obsgrid] [pairs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$root/build/obsgrid}")
pairs=${2:-300}
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
# The floor: the same static start, the report read, the same bytes written,
# with those bytes built into the program.
python3 - <<'PY' > floor_bytes.h
for name, path in (("gridBytes", "grid.vtk"), ("stationBytes", "stationLocations.vtk")):
    data = open(path, "rb").read()
    print(f"inline constexpr unsigned char {name}[] = {{" + ",".join(map(str, data)) + "};")
PY
c++ -O2 -std=c++20 -static -I. -o floor "$root/bench/write_floor.cpp"

ours="exec $binary report.txt out.vtk"
copy="exec cat grid.vtk stationLocations.vtk > copy.vtk"
floor="exec ./floor report.txt out.vtk"

c++ -O2 -std=c++20 -o time_in_turn "$root/bench/time_in_turn.cpp"
./time_in_turn 20 "$ours" "$copy" "$floor" > /dev/null  # warm-up
./time_in_turn "$pairs" "$ours" "$copy" "$floor" > times
cmp -s out.vtk grid.vtk || { echo "the floor wrote other bytes than obsgrid" >&2; exit 1; }

rss() {  # peak resident set of one run, in KiB
    /usr/bin/time -f %M sh -c "$1" 2>&1 >/dev/null | tail -1
}
python3 - "$pairs" "$(stat -c %s grid.vtk)" "$(rss "$ours")" "$(rss "$copy")" "$(rss "$floor")" <<'PY'
import sys
from statistics import median
pairs, size, rss_ours, rss_copy, rss_floor = sys.argv[1:]
rows = [tuple(map(int, line.split())) for line in open("times")]
ours, copy, floor = (median([r[k] for r in rows]) for k in range(3))
print(f"grid file: {int(size)} bytes; {pairs} runs of each, in turn")
print(f"obsgrid, whole process:          {ours / 1000:.2f} ms (median)")
print(f"one process copying both files:  {copy / 1000:.2f} ms")
print(f"floor, writing the same bytes:   {floor / 1000:.2f} ms")
print(f"ratio obsgrid / copy:            {median([o / c for o, c, f in rows]):.2f} (median of pairs)")
print(f"ratio floor / copy:              {median([f / c for o, c, f in rows]):.2f}")
print(f"peak memory (max RSS): obsgrid {rss_ours} KiB, cat {rss_copy} KiB, floor {rss_floor} KiB")
PY
