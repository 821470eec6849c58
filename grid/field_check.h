#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "common/grid_fields.h"

namespace obsgrid {

struct FieldLocation {
    std::string_view attribute;  // as named in the grid file
    std::size_t day, row, column;
};

// The first value of days 0 to dayCount - 1 that is not finite in single
// precision (a report value or a mean beyond its range), in the grid file's
// order of attributes, then day, row and column; none if all are finite.
std::optional<FieldLocation> findNonFiniteValue(const GridFields& fields, std::size_t dayCount);

}  // namespace obsgrid
