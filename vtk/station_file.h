#pragma once

#include <ostream>
#include <string_view>

#include "common/station_table.h"

namespace obsgrid {

// Writes the 19 station points (longitude, latitude, height) as polydata
// with no cells and no point data.
void writeStationFile(std::ostream& out, std::string_view inputPath, std::string_view programPath,
                      const StationTable& stations);

}  // namespace obsgrid
