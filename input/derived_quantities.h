#pragma once

#include <cstddef>

#include "common/observation_set.h"

namespace obsgrid {

inline constexpr double pi = 3.141592653589793;

// Fills avgHumidity[s][j] and windVector[s][j] from data[s][j].
void deriveStationQuantities(ObservationSet& observations, std::size_t s, std::size_t j);

}  // namespace obsgrid
