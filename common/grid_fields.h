#pragma once

#include <array>

#include "common/limits.h"

namespace obsgrid {

template <typename T>
using DailyGrid = std::array<std::array<std::array<T, gridColumns>, gridRows>, maxDays>;

// The gridded result, single precision. A value-initialised record is all
// zeros; the interpolation writes every entry of days 0 to dayCount - 1, so
// one it fills needs no clearing first.
struct GridFields {
    // [row][column][x, y, z]
    std::array<std::array<std::array<float, 3>, gridColumns>, gridRows> positions;
    // [day][row][column][x, y, z]; z is always 0
    DailyGrid<std::array<float, 3>> wind;
    DailyGrid<float> airTemp;
    DailyGrid<float> soilTemp;
    DailyGrid<float> humidity;
    DailyGrid<float> precip;
};

// The wind in miles per hour, [day][row][column][east, north]: each weighted
// mean of the wind vector times 69.6, narrowed only then. Filled on request.
struct WindInMilesPerHour {
    DailyGrid<std::array<float, 2>> values;
};

}  // namespace obsgrid
