#pragma once

#include <cstddef>
#include <ostream>
#include <string_view>

#include "common/grid_fields.h"

namespace obsgrid {

// Writes the structured grid of `dayCount` layers: the points, the wind
// vectors and the four scalar attributes, in day, row, column order.
void writeGridFile(std::ostream& out, std::string_view inputPath, std::string_view programPath,
                   std::size_t dayCount, const GridFields& fields);

}  // namespace obsgrid
