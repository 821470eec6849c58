#pragma once

#include <array>

#include "common/limits.h"

namespace obsgrid {

// One row per station: longitude, latitude, height. The reader clears each
// height as it reaches the station's block.
using StationTable = std::array<std::array<double, 3>, stationCount>;

// One row per grid row, south to north: latitude, western and eastern longitude.
using StateOutline = std::array<std::array<double, 3>, gridRows>;

}  // namespace obsgrid
