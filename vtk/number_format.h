#pragma once

#include <cstddef>

namespace obsgrid {

// Longest text formatReal writes: "-1.23457e+038" is 13 characters.
inline constexpr std::size_t maxRealLength = 16;

// Writes a finite value in the files' general format with six significant
// digits: the value's 17 significant digits rounded half up in magnitude to
// six, fixed notation when the rounded decimal exponent lies in -4..5 and
// exponent notation (e, sign, three digits) otherwise, trailing zeros and a
// trailing point dropped, and zero of either sign written as 0.
// Writes at most maxRealLength characters at `out` and returns the end.
char* formatReal(char* out, double value);

}  // namespace obsgrid
