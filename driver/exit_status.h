#pragma once

namespace obsgrid {

// The values the entry point returns; a system with 8-bit statuses reads
// -1 to -4 as 255 to 252.
inline constexpr int statusOk = 0;
// wrong arguments, unusable paths, a file that fails to open or to be written
inline constexpr int statusUsageOrFileError = -1;
// a report cut short, or a line too long
inline constexpr int statusBrokenReport = -2;
inline constexpr int statusTooManyDays = -3;
inline constexpr int statusValueOutOfRange = -4;

}  // namespace obsgrid
