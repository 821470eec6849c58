#pragma once

#include <string>
#include <string_view>

#include "common/calendar.h"

namespace obsgrid {

// What the command line asks for.
struct CommandLine {
    enum class Action { convert, help, version, usageError };
    Action action = Action::usageError;
    std::string_view programPath;
    const char* inputPath = nullptr;
    const char* outputPath = nullptr;
    // the NetCDF time series, when asked for: both set, or neither
    const char* netcdfPath = nullptr;
    YearMonth month;
    // for a usage error: the line that names the problem, or empty when no
    // option was given (the usage line then stands alone, as it always has)
    std::string problem;
};

// Options come before the two paths; "--" ends them.
CommandLine parseCommandLine(int argc, const char* const argv[]);

// Reads "YYYY-MM" (year 0001 to 9999, month 01 to 12).
bool parseYearMonth(std::string_view text, YearMonth& month);

}  // namespace obsgrid
