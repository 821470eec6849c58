#pragma once

#include "common/station_table.h"

namespace obsgrid {

// The station network as built in, heights as surveyed. A run works on a copy.
extern const StationTable initialStationLocations;

// The state's outline, one row per grid row.
extern const StateOutline stateEdges;

}  // namespace obsgrid
