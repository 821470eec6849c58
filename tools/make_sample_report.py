#!/usr/bin/env python3
"""Writes data/sample-report.txt: a synthetic month of daily observations.

The report is made up, not measured: 19 station blocks of 30 day lines for a
summer month, with realistic magnitudes and a few values flagged "M".
The seed is fixed, so running this again gives the same file byte for byte.

    python3 tools/make_sample_report.py > data/sample-report.txt
"""

import math
import random
import sys

SEED = 20260611
DAYS = 30

# longitude, latitude of the 19 stations, in report order
STATIONS = [
    (-88.37, 40.05), (-88.67, 37.45), (-88.95, 38.95), (-90.83, 39.8),
    (-88.85, 41.85), (-90.73, 40.92), (-90.08, 40.17), (-89.52, 40.7),
    (-89.62, 39.68), (-89.88, 38.52), (-89.23, 37.7), (-88.1, 38.73),
    (-89.67, 42.28), (-88.92, 38.13), (-88.17, 40.95), (-89.75, 40.73),
    (-88.37, 41.9), (-88.38, 38.38), (-88.23, 40.08),
]

TITLES = [
    "             Wind  Wind   Max   Air   Air   Air   Max   Min   Dew        "
    "  Pot  4in  4in  4in  8in  8in  8in",
    "Day   Sol    Spd   Dir    Spd   Max   Min   Avg   RH    RH    Pt  Precip"
    "  ET   Max  Min  Avg  Max  Min  Avg",
    "      MJ/m2  mph   deg    mph   F     F     F     %     %     F   in    "
    "  in   F    F    F    F    F    F",
]


def day_values(rng, station, day):
    lon, lat = STATIONS[station]
    south = (42.5 - lat) / 5.5  # 0 in the north, 1 in the south
    season = math.sin(math.pi * day / DAYS)
    air_avg = 71.0 + 6.0 * south + 3.0 * season + rng.gauss(0, 3.0)
    spread = rng.uniform(14.0, 24.0)
    air_max, air_min = air_avg + spread / 2, air_avg - spread / 2
    rh_max = min(100.0, rng.uniform(85.0, 99.0))
    rh_min = rng.uniform(35.0, 65.0)
    dew = air_min - rng.uniform(0.0, 6.0)
    rain = 0.0 if rng.random() < 0.65 else round(rng.expovariate(1 / 0.35), 2)
    soil4 = air_avg + 4.0 + rng.gauss(0, 1.5)
    soil8 = soil4 - 1.0 + rng.gauss(0, 0.8)
    speed = max(0.3, rng.gauss(6.5 - 0.04 * (lon + 89.0), 2.2))
    return [
        (rng.uniform(12.0, 29.0), 2),   # solar radiation
        (speed, 1),                      # wind speed
        (rng.uniform(0, 360) if rng.random() < 0.5 else rng.gauss(215, 40) % 360, 0),
        (speed * rng.uniform(2.0, 3.4), 1),
        (air_max, 1), (air_min, 1), (air_avg, 1),
        (rh_max, 0), (rh_min, 0), (dew, 1),
        (rain, 2),                       # precipitation
        (rng.uniform(0.12, 0.28), 2),    # potential evapotranspiration
        (soil4 + 4.0, 1), (soil4 - 4.0, 1), (soil4, 1),
        (soil8 + 2.0, 1), (soil8 - 2.0, 1), (soil8, 1),
    ]


def day_line(rng, station, day):
    fields = []
    for value, decimals in day_values(rng, station, day):
        flag = "M" if rng.random() < 0.004 else " "
        fields.append(f"{value:.{decimals}f}{flag}")
    return f"{day:>2} " + " ".join(f"{f:>6}" for f in fields)


def report(rng):
    lines = [
        "SYNTHETIC SAMPLE REPORT - made by tools/make_sample_report.py, not measured data",
        "Daily observations, 19 stations, one summer month of 30 days",
        "",
    ]
    for s, (lon, lat) in enumerate(STATIONS):
        lines += [
            f"Station {s + 1:02d}    latitude {lat:.2f}  longitude {lon:.2f}",
            "",
            *TITLES,
            "=" * 4 + "-" * 96,
        ]
        lines += [day_line(rng, s, day) for day in range(1, DAYS + 1)]
        lines += ["-" * 100, ""]
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    sys.stdout.write(report(random.Random(SEED)))
