#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "common/calendar.h"
#include "common/grid_fields.h"
#include "common/station_table.h"

namespace obsgrid {

// What the time series file holds beyond the grid itself.
struct TimeSeriesDescription {
    YearMonth month;      // day 0 is its first day
    std::string source;   // the program and its version
    std::string history;  // the command line
};

// Writes the month as a CF-1.8 time series in the netCDF classic format:
// one record a day on the 12 x 10 grid, the grid points as 2-D latitude
// and longitude, and the station table. `dayCount` is at least 1.
void writeTimeSeriesFile(std::ostream& out, const TimeSeriesDescription& description,
                         std::size_t dayCount, const GridFields& fields,
                         const WindInMilesPerHour& windInMph, const StationTable& stations);

}  // namespace obsgrid
