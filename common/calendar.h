#pragma once

namespace obsgrid {

// A month of the calendar, as --month names it.
struct YearMonth {
    int year = 0;   // 1 to 9999
    int month = 0;  // 1 to 12
};

// The days of a month in the standard calendar of time series files: Julian
// before the reform of October 1582 (which dropped ten days), Gregorian after.
constexpr int daysInMonth(YearMonth m) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m.year == 1582 && m.month == 10) return 21;
    if (m.month != 2) return days[m.month - 1];
    const bool julian = m.year < 1582 || (m.year == 1582 && m.month < 10);
    const bool leap =
        julian ? m.year % 4 == 0 : (m.year % 4 == 0 && m.year % 100 != 0) || m.year % 400 == 0;
    return leap ? 29 : 28;
}

}  // namespace obsgrid
