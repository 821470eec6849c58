#include "driver/command_line.h"

#include <string>

namespace obsgrid {

namespace {

bool isDigits(std::string_view text) {
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return !text.empty();
}

int number(std::string_view digits) {
    int n = 0;
    for (const char c : digits) n = n * 10 + (c - '0');
    return n;
}

CommandLine usageError(CommandLine line, std::string problem) {
    line.action = CommandLine::Action::usageError;
    line.problem = "Error:  " + std::move(problem);
    return line;
}

}  // namespace

bool parseYearMonth(std::string_view text, YearMonth& month) {
    if (text.size() != 7 || text[4] != '-') return false;
    const std::string_view year = text.substr(0, 4);
    const std::string_view monthDigits = text.substr(5, 2);
    if (!isDigits(year) || !isDigits(monthDigits)) return false;
    const YearMonth read{number(year), number(monthDigits)};
    if (read.year < 1 || read.month < 1 || read.month > 12) return false;
    month = read;
    return true;
}

CommandLine parseCommandLine(int argc, const char* const argv[]) {
    CommandLine line;
    line.programPath = argc > 0 && argv[0] != nullptr ? argv[0] : "";
    const char* monthText = nullptr;
    bool anyOption = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            anyOption = true;
            ++i;
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') break;
        anyOption = true;
        if (arg == "--help") {
            line.action = CommandLine::Action::help;
            return line;
        }
        if (arg == "--version") {
            line.action = CommandLine::Action::version;
            return line;
        }
        const char** value = arg == "--netcdf"  ? &line.netcdfPath
                             : arg == "--month" ? &monthText
                                                : nullptr;
        if (value == nullptr) return usageError(line, "Unknown option " + std::string(arg));
        if (i + 1 == argc) return usageError(line, std::string(arg) + " needs a value");
        *value = argv[++i];
    }

    const int pathCount = argc - i;
    if (pathCount != 2) {
        if (!anyOption) return line;
        return usageError(line, "Expected two paths, inputFile and outputFile, but got " +
                                    std::to_string(pathCount < 0 ? 0 : pathCount));
    }
    if (line.netcdfPath != nullptr && monthText == nullptr)
        return usageError(line, "--netcdf needs --month YYYY-MM, the report's month");
    if (monthText != nullptr && line.netcdfPath == nullptr)
        return usageError(line, "--month goes with --netcdf FILE");
    if (monthText != nullptr && !parseYearMonth(monthText, line.month))
        return usageError(line, "Month " + std::string(monthText) +
                                    " is not YYYY-MM (year 0001 to 9999, month 01 to 12)");
    line.inputPath = argv[i];
    line.outputPath = argv[i + 1];
    line.action = CommandLine::Action::convert;
    return line;
}

}  // namespace obsgrid
