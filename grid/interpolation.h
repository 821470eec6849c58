#pragma once

#include "common/grid_fields.h"
#include "common/observation_set.h"
#include "common/station_table.h"

namespace obsgrid {

// A grid point closer than this (in squared degrees) to a station takes
// that station's values unweighted.
inline constexpr double snapDistanceSquared = 0.01;

// Lays the 12 x 10 grid over `outline` and fills every point's position and,
// for days 0 to dayCount - 1, its wind, temperatures, humidity and
// precipitation by inverse squared distance weighting of all stations; and
// `windInMph`, when given.
void interpolateGrid(const ObservationSet& observations, const StationTable& stations,
                     const StateOutline& outline, GridFields& fields,
                     WindInMilesPerHour* windInMph = nullptr);

}  // namespace obsgrid
