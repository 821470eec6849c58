#include "input/day_line.h"

#include "input/number_scanner.h"

namespace obsgrid {

namespace {

// The day number: optional sign and any run of digits, however long.
bool skipDayNumber(const char*& pos, const char* end) {
    const char* p = pos;
    while (p != end && isReportSpace(*p)) ++p;
    if (p != end && (*p == '+' || *p == '-')) ++p;
    const char* digits = p;
    while (p != end && *p >= '0' && *p <= '9') ++p;
    if (p == digits) return false;
    pos = p;
    return true;
}

}  // namespace

DayLineFields convertDayLine(std::string_view line) {
    DayLineFields fields;
    const char* p = line.data();
    const char* const end = p + line.size();
    if (!skipDayNumber(p, end)) return fields;
    for (std::size_t k = 0; k < fieldCount; ++k) {
        if (!scanNumber(p, end, fields.values[k])) return fields;
        fields.valuesRead = k + 1;
        if (p == end) return fields;
        fields.flags[k] = *p++;
    }
    return fields;
}

}  // namespace obsgrid
