#include "input/derived_quantities.h"

#include <cmath>

namespace obsgrid {

void deriveStationQuantities(ObservationSet& observations, std::size_t s, std::size_t j) {
    const auto& v = observations.data[s][j];
    observations.avgHumidity[s][j] = (v[7] + v[8]) / 2.0;
    const double angle = (v[2] * pi) / 180;
    // Only x carries the minus sign; both components divide by the scale.
    observations.windVector[s][j][0] = (std::sin(angle) * (-v[1])) / windScale;
    observations.windVector[s][j][1] = (std::cos(angle) * v[1]) / windScale;
}

}  // namespace obsgrid
