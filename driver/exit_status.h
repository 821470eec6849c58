#pragma once

namespace obsgrid {

// The values the entry point returns; a system with 8-bit statuses reads
// -1 to -4 as 255 to 252.
inline constexpr int statusOk = 0;
inline constexpr int statusBadCommandLine =
    -1;  // wrong arguments, unusable paths, failed open or write
inline constexpr int statusBrokenReport = -2;  // cut short, or a line too long
inline constexpr int statusTooManyDays = -3;
inline constexpr int statusValueOutOfRange = -4;

}  // namespace obsgrid
