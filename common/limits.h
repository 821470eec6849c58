#pragma once

#include <cstddef>

namespace obsgrid {

inline constexpr std::size_t stationCount = 19;
inline constexpr std::size_t maxDays = 31;
inline constexpr std::size_t fieldCount = 18;
inline constexpr std::size_t gridRows = 12;
inline constexpr std::size_t gridColumns = 10;

// The wind vectors are the wind speed (miles per hour) divided by this.
inline constexpr double windScale = 69.6;

}  // namespace obsgrid
