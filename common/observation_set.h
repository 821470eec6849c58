#pragma once

#include <array>
#include <cstddef>

#include "common/limits.h"

namespace obsgrid {

// The station observations of one run. A value-initialised set is all
// zeros; the reader writes every entry of days 0 to dayCount - 1 itself
// (values that no report line provides as 0), so a set it fills needs no
// clearing first, and the pages of days never used are never touched.
struct ObservationSet {
    // [station][day][field]
    std::array<std::array<std::array<double, fieldCount>, maxDays>, stationCount> data;
    // true where the report flagged the value with "M"; informational only
    std::array<std::array<std::array<bool, fieldCount>, maxDays>, stationCount> invalid;
    // [station][day]: mean of the two humidity readings
    std::array<std::array<double, maxDays>, stationCount> avgHumidity;
    // [station][day][x, y]
    std::array<std::array<std::array<double, 2>, maxDays>, stationCount> windVector;
    // number of day lines of the last block; every later step covers days 0 to dayCount - 1
    std::size_t dayCount = 0;
};

}  // namespace obsgrid
