#pragma once

#include <cstddef>

namespace obsgrid {

// Longest text formatReal writes: "-1.23457e+038" is 13 characters.
inline constexpr std::size_t maxRealLength = 16;
// The room formatReal needs at `out`: it copies digits in whole words, so a
// few bytes past the text's end may be overwritten.
inline constexpr std::size_t realFormatRoom = 24;

// Writes a finite value in the files' general format with six significant
// digits: the value's 17 significant digits rounded half up in magnitude to
// six, fixed notation when the rounded decimal exponent lies in -4..5 and
// exponent notation (e, sign, three digits) otherwise, trailing zeros and a
// trailing point dropped, and zero of either sign written as 0.
// Writes at most maxRealLength characters at `out` and returns their end;
// `out` must have realFormatRoom bytes of room.
char* formatReal(char* out, double value);

// The same for a float, as formatReal writes it widened to double; faster.
char* formatFloat(char* out, float value);

}  // namespace obsgrid
