#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/limits.h"

namespace obsgrid::testing {

// A day line whose value k is `base + k`, each followed by a blank.
inline std::string dayLine(int day, double base) {
    std::string line = std::to_string(day);
    for (std::size_t k = 0; k < fieldCount; ++k) {
        line += ' ';
        line += std::to_string(base + static_cast<double>(k));
        line += ' ';
    }
    return line;
}

// A heading, an opening dashed line, the given day lines and a closing dashed line.
inline std::string block(std::size_t station, const std::vector<std::string>& dayLines) {
    std::string text = "Station " + std::to_string(station) + "\nDay Speed Dir ...\n";
    text += "-----------------------------\n";
    for (const auto& line : dayLines) text += line + "\n";
    text += "-----------------------------\n";
    return text;
}

// Station s's day j carries values starting at s * 100 + j.
inline std::vector<std::string> dayLines(std::size_t station, std::size_t days) {
    std::vector<std::string> lines;
    for (std::size_t j = 0; j < days; ++j)
        lines.push_back(dayLine(static_cast<int>(j + 1), static_cast<double>(station * 100 + j)));
    return lines;
}

// 19 blocks of `days` day lines each.
inline std::string uniformReport(std::size_t days) {
    std::string text = "Synthetic test report\n";
    for (std::size_t s = 0; s < stationCount; ++s) text += block(s, dayLines(s, days));
    return text;
}

}  // namespace obsgrid::testing
