#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "common/limits.h"

namespace obsgrid {

// What one day line provides: a day number (not used) and then up to 18
// values, each followed directly by its flag character.
struct DayLineFields {
    std::size_t valuesRead = 0;
    std::array<double, fieldCount> values{};
    // '\0' where a value has no flag character (the line ended right after it)
    std::array<char, fieldCount> flags{};
};

// Converts a day line: white space, a decimal integer, then 18 times white
// space, a number and the single character right after it. Conversion stops
// at the first item that does not match; the values before it are kept.
DayLineFields convertDayLine(std::string_view line);

}  // namespace obsgrid
